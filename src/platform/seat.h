#pragma once
// Who and where a test runs: the seat's host name and account, and the fresh
// id each test carries from its start mark to its record.
#include <string>

std::string hostName();     // "seat-04"; "?" when the system gives none
std::string accountName();  // the login name of the running user, or its number
// A random (version 4) UUID, "1b4e28ba-2fa1-41d2-883f-0016d3cca427", from the
// system's random source.
std::string newUuid();
