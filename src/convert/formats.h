#pragma once
// The exchange formats of learning platforms: Moodle XML, GIFT and Aiken
// question banks read into topics, and topics written as Moodle XML and GIFT.
#include <string>
#include <string_view>
#include <vector>

#include "convert/question_set.h"

// file names the input in messages; defaultTitle is the topic of questions
// outside any category (Aiken has none).
ConvertResult readMoodleXml(std::string_view bytes, const std::string& file,
                            const std::string& defaultTitle);
ConvertResult readGift(std::string_view bytes, const std::string& file,
                       const std::string& defaultTitle);
ConvertResult readAiken(std::string_view bytes, const std::string& file,
                        const std::string& defaultTitle);

// UTF-8 documents. Each topic becomes a category "$course$/top/<title>".
std::string writeMoodleXml(const ExchangeCourse& course);
std::string writeGift(const ExchangeCourse& course);

// The last part of a category path ("$course$/top/Тема 1" gives "Тема 1"); a
// doubled "//" is a slash within a name.
std::string categoryTitle(std::string_view path);
// The parts of a category path, "$...$" parts (such as "$course$") left out.
std::vector<std::string> categoryParts(std::string_view path);
