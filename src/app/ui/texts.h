#pragma once
// The fixed texts of the title and help windows, kept together so that the
// wording of the program's own pages can be read and changed in one place.
#include <QString>
#include <QStringList>

namespace texts {

// The course title is shown in two halves on the title window; the second
// half is also its caption.
QString courseTitleFirstHalf();
QString courseTitleSecondHalf();

QString institution();
QString department();
QString programPurpose();
QString authorsHeading();
// Seven lines separated by a single CR, as a caption stores them.
QString credits();
QString officialNotice();
QString city();
QString year();

QString helpCaption();
// The description of the working modes, ending in the literature heading.
QStringList helpLines();
// The recommended textbooks that follow the heading.
QStringList literatureLines();

QString okButton();

}  // namespace texts
