#pragma once
// protocols.html: the paper protocol an exam needs, one A4 page per record,
// laid out like the report window that showed the result. Written record by
// record as the logs are read.
#include <string>
#include <string_view>

#include "results/log_reader.h"

std::string protocolsHead();
// source: the log's name and the record's line there, UTF-8.
void appendProtocol(std::string& out, const LogRecord& record, std::string_view source);
std::string protocolsTail(std::size_t records);
