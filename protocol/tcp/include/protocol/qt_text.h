#pragma once
// GBK texts at the windows' edge: the core keeps GBK bytes, the widgets show QString.
#include <QString>

#include <string>
#include <string_view>

namespace protocol {

QString from_gbk(std::string_view gbk);
std::string to_gbk(const QString& text);

}  // namespace protocol
