#include "store/fieldtext.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "store/gbk.h"

namespace tessaro::store {

namespace {

Result<QByteArray> textBytes(const dbf::Field& f, const QString& text, TextRule rule) {
  const auto bytes = gbk::encode(text);
  if (rule != TextRule::Written) {
    // Trailing blanks are no part of a stored text; a character GBK lacks is refused below.
    qsizetype used = bytes ? bytes->size() : 0;
    while (used > 0 && bytes->at(used - 1) == ' ') --used;
    if (used > f.length) {
      return failure(QStringLiteral("放不下“%1”：最多 %2 个字节（一个汉字占 2 个字节），这段文字有 %3 个字节，请改短")
                         .arg(text.trimmed())
                         .arg(f.length)
                         .arg(used));
    }
  }
  if (!bytes) return failure(QStringLiteral("不能保存字符“%1”：GBK 里没有这个字").arg(bytes.error()));
  return bytes->left(gbk::cutLength(*bytes, f.length));
}

Result<QByteArray> numericBytes(const dbf::Field& f, const QString& text, TextRule rule) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return QByteArray();
  const auto v = core::parseNumber(t.toStdString());
  if (!v) return failure(QStringLiteral("不能写入“%1”：不是数字").arg(text));
  if (rule != TextRule::Written && f.decimals == 0 && *v != std::trunc(*v)) {
    return failure(QStringLiteral("不能写入“%1”：只能放整数").arg(t));
  }
  if (rule == TextRule::Exact && core::roundFixed(*v, f.decimals) != *v) {
    return failure(QStringLiteral("不能写入“%1”：最多 %2 位小数").arg(t).arg(f.decimals));
  }
  return numberBytes(f, *v);
}

Result<QByteArray> dateText(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return QByteArray();
  static const QRegularExpression form(QStringLiteral("^(\\d{4})(?:-|年)?(\\d{2})(?:-|月)?(\\d{2})日?$"));
  const auto m = form.match(t);
  const core::Date d{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
  if (!m.hasMatch() || !dbf::isValidDate(d)) return failure(QStringLiteral("不能写入“%1”：不是日期").arg(text));
  return dateBytes(d);
}

Result<QByteArray> logicalBytes(const QString& text) {
  static const QString accepted = QStringLiteral("TtFfYyNn?");
  const QString t = text.trimmed();
  if (t.isEmpty()) return QByteArray();
  if (t.size() != 1 || !accepted.contains(t[0])) return failure(QStringLiteral("不能写入“%1”：不是逻辑值").arg(text));
  return t.toUpper().toLatin1();
}

}  // namespace

Result<QByteArray> fieldBytes(const dbf::Field& f, const QString& text, TextRule rule) {
  switch (f.type) {
    case 'C': return textBytes(f, text, rule);
    case 'N':
    case 'F': return numericBytes(f, text, rule);
    case 'D': return dateText(text);
    case 'L': return logicalBytes(text);
    default: return failure(QStringLiteral("的类型 %1 不能写入").arg(QChar(f.type)));
  }
}

Result<QByteArray> numberBytes(const dbf::Field& f, double value) {
  if (!std::isfinite(value)) return failure(QStringLiteral("不能保存非有限的数值"));
  const std::string text = core::formatFixed(value, f.decimals, f.length);
  if (int(text.size()) > f.length) {
    return failure(QStringLiteral("放不下数值 %1（宽 %2，小数 %3 位）")
                       .arg(QString::fromStdString(core::formatGeneral(value)))
                       .arg(f.length)
                       .arg(f.decimals));
  }
  return QByteArray::fromStdString(text);
}

QByteArray dateBytes(const core::Date& d) {
  return QStringLiteral("%1%2%3")
      .arg(d.year, 4, 10, QLatin1Char('0'))
      .arg(d.month, 2, 10, QLatin1Char('0'))
      .arg(d.day, 2, 10, QLatin1Char('0'))
      .toLatin1();
}

QByteArray blankRecord(const dbf::Layout& layout) {
  QByteArray record(layout.recordLength, ' ');
  if (!record.isEmpty()) record[0] = dbf::kLiveFlag;
  return record;
}

void putField(char* record, const dbf::Field& f, const QByteArray& bytes) {
  char* to = record + f.offset;
  std::memset(to, ' ', std::size_t(f.length));
  std::memcpy(to, bytes.constData(), std::size_t(std::min<qsizetype>(bytes.size(), f.length)));
}

}  // namespace tessaro::store
