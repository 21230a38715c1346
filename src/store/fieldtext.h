// How a text, a number or a date becomes the bytes of a field: the one rule
// behind the table's writes, and behind the checks of records that come
// from elsewhere (a CSV file) before any of them is written.
#pragma once

#include <QByteArray>
#include <QString>

#include "core/format.h"
#include "store/dbf.h"
#include "store/result.h"

namespace tessaro::store {

enum class TextRule {
  // Table::setText: a text is cut to its field's width at a character
  // boundary, a number rounded to its field's decimals.
  Written,
  // Table::setTypedText: a text longer than its field, and a fraction for a
  // numeric field without decimals, are refused.
  Typed,
  // Typed, and a number with more decimals than its field keeps is refused:
  // the field holds exactly the value given.
  Exact,
};

// The bytes `text` becomes in `field` (no longer than the field; the rest of
// the field is blank), or why it cannot: a clause in Chinese that follows
// the field's name in a message ("不能写入“x”：不是数字"), naming neither
// file nor record. Empty text empties any field.
Result<QByteArray> fieldBytes(const dbf::Field& field, const QString& text, TextRule rule);

// The bytes of `value` in the numeric field `field` with its decimals,
// rounded half away from zero; refused (a clause as above) when it is not
// finite or wider than the field.
Result<QByteArray> numberBytes(const dbf::Field& field, double value);

// The bytes of a valid date in a D field (YYYYMMDD).
QByteArray dateBytes(const core::Date& date);

// A live record of `layout` with every field blank.
QByteArray blankRecord(const dbf::Layout& layout);

// Puts `bytes` (from the functions above) into `field` of the record at
// `record`, padded with blanks.
void putField(char* record, const dbf::Field& field, const QByteArray& bytes);

}  // namespace tessaro::store
