#include <protocol/gbk_codec.h>
#include <protocol/qt_text.h>

namespace protocol {

QString from_gbk(std::string_view gbk) { return QString::fromStdString(gbk_to_utf8(gbk)); }

std::string to_gbk(const QString& text) { return utf8_to_gbk(text.toStdString()); }

}  // namespace protocol
