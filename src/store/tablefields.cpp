#include "store/table.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "store/fieldtext.h"
#include "store/gbk.h"

namespace tessaro::store {

// --- Reading ------------------------------------------------------------------------

bool Table::fail(const QString& message) const {
  error_ = message;
  return false;
}

bool Table::requireOpen() const {
  if (isOpen()) return true;
  return fail(QStringLiteral("表文件 %1 没有打开").arg(displayName_.isEmpty() ? QStringLiteral("（未命名）") : displayName_));
}

QString Table::recordLabel() const {
  static const dbf::Layout noFields;
  const auto index = state_ == State::Insert ? std::nullopt : std::optional<std::int64_t>(current_);
  return dbf::recordLabel(isOpen() ? file_->layout() : noFields, currentRecord(), index);
}

bool Table::fieldFailure(const QString& field, const QString& what, bool* ok) const {
  if (ok) *ok = false;
  return fail(QStringLiteral("表文件 %1 %2的字段 %3 %4").arg(displayName_, recordLabel(), field.toUpper(), what));
}

int Table::resolveField(const QString& field, bool* ok) const {
  const int index = fieldIndex(field);
  if (index < 0 || !currentRecord()) {
    if (ok) *ok = false;
    if (!requireOpen()) return -1;
    if (index < 0) {
      fail(QStringLiteral("表文件 %1 没有字段 %2").arg(displayName_, field));
    } else {
      fail(QStringLiteral("表文件 %1 没有当前记录，不能读字段 %2").arg(displayName_, field));
    }
    return -1;
  }
  if (ok) *ok = true;
  return index;
}

QByteArray Table::rawBytes(const QString& field, bool* ok) const {
  const int index = resolveField(field, ok);
  if (index < 0) return QByteArray();
  const dbf::Field& f = fieldAt(index);
  return QByteArray(currentRecord() + f.offset, f.length);
}

bool Table::resolveIndex(int field, bool* ok) const {
  if (isOpen() && field >= 0 && field < fieldCount() && currentRecord()) {
    if (ok) *ok = true;
    return true;
  }
  if (ok) *ok = false;
  if (!requireOpen()) return false;
  if (field < 0 || field >= fieldCount()) return fail(QStringLiteral("表文件 %1 没有第 %2 个字段").arg(displayName_).arg(field + 1));
  return fail(QStringLiteral("表文件 %1 没有当前记录，不能读字段 %2").arg(displayName_, fieldAt(field).name));
}

QString Table::text(const QString& field, bool* ok) const {
  const int index = resolveField(field, ok);
  return index < 0 ? QString() : textAt(index, ok);
}

QString Table::text(int field, bool* ok) const { return resolveIndex(field, ok) ? textAt(field, ok) : QString(); }

QString Table::textAt(int index, bool* ok) const {
  const dbf::Field& f = fieldAt(index);
  const std::string_view bytes(currentRecord() + f.offset, f.length);
  if (f.type == 'D') {
    const auto d = dbf::parseDate(bytes);
    if (!d) {
      fieldFailure(f.name, QStringLiteral("的内容不是日期"), ok);
      return QString();
    }
    return *d ? QString::fromStdString(core::formatDate(**d)) : QString();
  }
  const std::string_view t = dbf::trimmed(bytes);
  bool valid = true;
  QString s = gbk::decode(QByteArrayView(t.data(), qsizetype(t.size())), &valid);
  if (!valid) fieldFailure(f.name, QStringLiteral("里有不是 GBK 的字节"), ok);
  return s;
}

std::optional<double> Table::value(const QString& field, bool* ok) const {
  const int index = resolveField(field, ok);
  return index < 0 ? std::nullopt : valueAt(index, ok);
}

std::optional<double> Table::valueAt(int index, bool* ok) const {
  const dbf::Field& f = fieldAt(index);
  if (f.type == 'D' || f.type == 'L') {
    fieldFailure(f.name, QStringLiteral("不是数值字段"), ok);
    return std::nullopt;
  }
  // A record of the file was read when the file was; one being edited is read now.
  if (state_ == State::Browse) {
    const double v = file_->number(current_, index);
    if (!std::isnan(v)) return v;
  }
  const std::string_view bytes(currentRecord() + f.offset, f.length);
  const auto v = dbf::parseNumberField(bytes);
  if (!v) {
    const std::string_view t = dbf::trimmed(bytes);
    fieldFailure(f.name, QStringLiteral("的内容“%1”不是数字").arg(gbk::decode(QByteArrayView(t.data(), qsizetype(t.size())))), ok);
    return std::nullopt;
  }
  return *v;
}

double Table::number(const QString& field, bool* ok) const { return value(field, ok).value_or(0.0); }

int Table::integer(const QString& field, bool* ok) const {
  bool good = true;
  const double v = number(field, &good);
  if (!good) {
    if (ok) *ok = false;
    return 0;
  }
  const double r = std::round(v);
  if (r < double(INT_MIN) || r > double(INT_MAX)) {
    fieldFailure(field, QStringLiteral("的数值超出整数范围"), ok);
    return 0;
  }
  if (ok) *ok = true;
  return int(r);
}

std::optional<core::Date> Table::date(const QString& field, bool* ok) const {
  const int index = resolveField(field, ok);
  return index < 0 ? std::nullopt : dateAt(index, ok);
}

std::optional<core::Date> Table::date(int field, bool* ok) const {
  return resolveIndex(field, ok) ? dateAt(field, ok) : std::nullopt;
}

std::optional<core::Date> Table::dateAt(int index, bool* ok) const {
  const dbf::Field& f = fieldAt(index);
  if (f.type != 'D') {
    fieldFailure(f.name, QStringLiteral("不是日期字段"), ok);
    return std::nullopt;
  }
  const auto d = dbf::parseDate(std::string_view(currentRecord() + f.offset, f.length));
  if (!d) {
    fieldFailure(f.name, QStringLiteral("的内容不是日期"), ok);
    return std::nullopt;
  }
  return *d;
}

bool Table::isNull(const QString& field, bool* ok) const {
  const int index = resolveField(field, ok);
  if (index < 0) return true;
  const dbf::Field& f = fieldAt(index);
  const std::string_view t = dbf::trimmed(std::string_view(currentRecord() + f.offset, f.length));
  return t.empty() || (f.type == 'D' && t == "00000000");
}

bool Table::requireEditing(const QString& field) const {
  if (!requireOpen()) return false;
  if (state_ != State::Edit && state_ != State::Insert) {
    return fail(QStringLiteral("表文件 %1 不在编辑状态，不能写字段 %2").arg(displayName_, field));
  }
  return true;
}

bool Table::writeField(int index, const QByteArray& bytes) {
  putField(buffer_.data(), fieldAt(index), bytes);
  modified_ = true;
  announce();
  return true;
}

bool Table::writeText(const QString& field, const QString& text, TextRule rule) {
  if (!requireEditing(field)) return false;
  const int index = fieldIndex(field);
  if (index < 0) return fail(QStringLiteral("表文件 %1 没有字段 %2").arg(displayName_, field));
  const dbf::Field& f = fieldAt(index);
  const auto bytes = fieldBytes(f, text, rule);
  if (!bytes) return fieldFailure(f.name, bytes.error(), nullptr);
  return writeField(index, *bytes);
}

bool Table::setText(const QString& field, const QString& text) { return writeText(field, text, TextRule::Written); }

bool Table::setTypedText(const QString& field, const QString& text) { return writeText(field, text, TextRule::Typed); }

bool Table::setNumber(const QString& field, double value) {
  if (!requireEditing(field)) return false;
  const int index = fieldIndex(field);
  if (index < 0) return fail(QStringLiteral("表文件 %1 没有字段 %2").arg(displayName_, field));
  const dbf::Field& f = fieldAt(index);
  if (f.type == 'C') return setText(field, QString::fromStdString(core::formatGeneral(value)));
  if (!f.isNumeric()) return fieldFailure(f.name, QStringLiteral("不是数值字段，不能写入数字"), nullptr);
  const auto bytes = numberBytes(f, value);
  if (!bytes) return fieldFailure(f.name, bytes.error(), nullptr);
  return writeField(index, *bytes);
}

bool Table::setInteger(const QString& field, int value) { return setNumber(field, double(value)); }

bool Table::setDate(const QString& field, const core::Date& d) {
  if (!requireEditing(field)) return false;
  const int index = fieldIndex(field);
  if (index < 0) return fail(QStringLiteral("表文件 %1 没有字段 %2").arg(displayName_, field));
  const dbf::Field& f = fieldAt(index);
  if (f.type != 'D') return fieldFailure(f.name, QStringLiteral("不是日期字段，不能写入日期"), nullptr);
  if (!dbf::isValidDate(d)) return fieldFailure(f.name, QStringLiteral("不能写入无效的日期"), nullptr);
  return writeField(index, dateBytes(d));
}

bool Table::clear(const QString& field) {
  if (!requireEditing(field)) return false;
  const int index = fieldIndex(field);
  if (index < 0) return fail(QStringLiteral("表文件 %1 没有字段 %2").arg(displayName_, field));
  return writeField(index, QByteArray());
}

}  // namespace tessaro::store
