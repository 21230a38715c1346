#include "dbf.h"

#include <QDate>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <limits>

#include "store/gbk.h"
#include "store/parallel.h"

namespace tessaro::store::dbf {
namespace {

std::uint16_t u16(const char* p) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(p[0]) | (static_cast<unsigned char>(p[1]) << 8));
}

bool supportedVersion(std::uint8_t v) {
  // dBASE III and IV tables (0x03, 0x83, 0x8B, ...); level 4 is dBASE 7,
  // whose header is laid out differently.
  return (v & 0x07) == 3;
}

}  // namespace

std::uint32_t u32(const char* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}

std::array<char, 7> dateAndCount(const core::Date& date, std::uint32_t count) {
  std::array<char, 7> b{};
  b[0] = static_cast<char>(std::clamp(date.year - 1900, 0, 255));
  b[1] = static_cast<char>(date.month);
  b[2] = static_cast<char>(date.day);
  for (int i = 0; i < 4; ++i) b[3 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
  return b;
}

QString recordLabel(const Layout& layout, const char* record, std::optional<std::int64_t> index) {
  QString label = index ? QStringLiteral("第 %1 条记录").arg(*index + 1) : QStringLiteral("新记录");
  const int nameIndex = layout.fieldIndex(u"NAME");
  if (record && nameIndex >= 0) {
    const Field& f = layout.fields[nameIndex];
    const std::string_view bytes = trimmed(std::string_view(record + f.offset, f.length));
    bool ok = false;
    const QString name = gbk::decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())), &ok);
    if (ok && !name.isEmpty()) label += QStringLiteral("（%1）").arg(name);
  }
  return label;
}

namespace {

bool isNumberBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether a field's number reads as a sound table holds it: core::parseNumber
// also takes tabs and line breaks around a number, a field does not.
bool holdsNumber(std::string_view t, const std::optional<std::optional<double>>& read) {
  return read && (t.empty() || (!isNumberBlank(t.front()) && !isNumberBlank(t.back())));
}

QString shown(std::string_view bytes) {
  // Raw bytes shown as far as they are readable.
  return gbk::decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

}  // namespace

int Layout::fieldIndex(QStringView name) const {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
  }
  return -1;
}

int FieldLookup::find(const Layout& layout, QStringView name) const {
  if (name.size() > kLongest) return layout.fieldIndex(name);
  const char16_t* text = name.utf16();
  auto holdsName = [&](const Slot& s) {
    if (s.size != name.size()) return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
      if (s.text[std::size_t(i)] != text[i]) return false;
    }
    return true;
  };
  const auto address = reinterpret_cast<std::uintptr_t>(name.data());
  std::size_t at = std::size_t((address >> 3) * 0x9E3779B97F4A7C15ull >> 57) % slots_.size();
  for (; slots_[at].size >= 0; at = (at + 1) % slots_.size()) {
    if (slots_[at].data != name.data()) continue;
    if (holdsName(slots_[at])) return slots_[at].index;
    break;  // the string there now holds another name
  }
  const int index = layout.fieldIndex(name);
  if (slots_[at].size < 0 && 4 * (++used_) > 3 * slots_.size()) {
    // Kept at most three quarters full, so that a search ends at a free slot.
    forget();
    return index;
  }
  Slot& slot = slots_[at];
  slot.data = name.data();
  slot.size = name.size();
  std::copy(text, text + name.size(), slot.text.begin());
  slot.index = index;
  return index;
}

bool isValidDate(const core::Date& d) {
  if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1) return false;
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = d.year % 4 == 0 && (d.year % 100 != 0 || d.year % 400 == 0);
  return d.day <= kDays[d.month - 1] + (d.month == 2 && leap ? 1 : 0);
}

namespace {

// Eight digits in the eight bytes `v` (the first byte lowest): both halves of
// every byte show a digit's, the high one 3, the low one at most 9.
bool eightDigits(std::uint64_t v) {
  constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0ull;
  return (v & kHigh) == 0x3030303030303030ull && (((v & ~kHigh) + 0x0606060606060606ull) & kHigh) == 0;
}

}  // namespace

std::optional<std::optional<core::Date>> parseDate(std::string_view bytes) {
  if (bytes.size() == 8) {
    // The date as a sound table holds it, read eight bytes at once: each pair
    // of digits becomes its number in the first byte of the pair.
    std::uint64_t v = 0;
    std::memcpy(&v, bytes.data(), 8);
    if (eightDigits(v)) {
      if (v == 0x3030303030303030ull) return std::optional<core::Date>();
      v &= 0x0F0F0F0F0F0F0F0Full;
      v = v * 10 + (v >> 8);
      const core::Date d{int(v & 0xFF) * 100 + int((v >> 16) & 0xFF), int((v >> 32) & 0xFF), int((v >> 48) & 0xFF)};
      if (!isValidDate(d)) return std::nullopt;
      return std::optional<core::Date>(d);
    }
  }
  const std::string_view t = trimmed(bytes);
  if (t.empty() || t == "00000000") return std::optional<core::Date>();
  if (t.size() != 8 || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  auto num = [&](int from, int n) {
    int v = 0;
    for (int i = from; i < from + n; ++i) v = v * 10 + (t[i] - '0');
    return v;
  };
  const core::Date d{num(0, 4), num(4, 2), num(6, 2)};
  if (!isValidDate(d)) return std::nullopt;
  return std::optional<core::Date>(d);
}

namespace {

// The number in a field's text with blanks trimmed (see parseNumberField()).
std::optional<std::optional<double>> parseTrimmedNumber(std::string_view t) {
  if (t.empty()) return std::optional<double>();
  while (!t.empty() && isNumberBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && isNumberBlank(t.back())) t.remove_suffix(1);
  const char* p = t.data();
  const char* const end = p + t.size();
  // from_chars takes a minus sign but no plus sign, and after the sign a
  // digit or the point must follow (no "inf", "nan", or second sign).
  const char* from = p;
  if (p < end && *p == '+') from = ++p;
  else if (p < end && *p == '-') ++p;
  if (p == end || !((*p >= '0' && *p <= '9') || *p == '.')) return std::nullopt;
  double v = 0;
  const auto [stop, ec] = std::from_chars(from, end, v, std::chars_format::general);
  // Beyond the range of a double: an overflow is no number, an underflow
  // reads as the tiny number or zero that core::parseNumber gives.
  if (ec == std::errc::result_out_of_range) {
    const auto tiny = core::parseNumber(t);
    if (!tiny) return std::nullopt;
    return std::optional<double>(*tiny);
  }
  if (ec != std::errc() || stop != end) return std::nullopt;
  return std::optional<double>(v);
}

// A field holding a number written plainly, as this program and dBASE write
// numbers: blanks, a sign, at most 15 digits with at most one point, blanks;
// or only blanks (no number). The digits form an exact integer and the power
// of ten is exact, so their quotient is the correctly rounded value that a
// full parse gives. Any other field: no value (to be read in full).
std::optional<std::optional<double>> plainNumber(std::string_view bytes) {
  static constexpr std::uint64_t kPowers[16] = {1,           10,           100,           1000,           10000,
                                                100000,      1000000,      10000000,      100000000,      1000000000,
                                                10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000,
                                                1000000000000000};
  auto blank = [](char c) { return c == ' ' || c == '\0'; };
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end && blank(*p)) ++p;
  if (p == end) return std::optional<double>();
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  // The digits, at most 15 of them in all (more: read in full).
  std::uint64_t whole = 0;
  std::uint64_t part = 0;
  const char* const wholeStart = p;
  for (unsigned d; p < end && (d = unsigned(*p - '0')) <= 9 && p - wholeStart < 16; ++p) whole = whole * 10 + d;
  const std::ptrdiff_t wholeDigits = p - wholeStart;
  std::ptrdiff_t decimals = 0;
  if (p < end && *p == '.') {
    const char* const partStart = ++p;
    for (unsigned d; p < end && (d = unsigned(*p - '0')) <= 9 && p - partStart < 16; ++p) part = part * 10 + d;
    decimals = p - partStart;
  }
  while (p < end && blank(*p)) ++p;
  if (p != end || wholeDigits + decimals == 0 || wholeDigits + decimals > 15) return std::nullopt;
  const double v = double(whole * kPowers[decimals] + part) / double(kPowers[decimals]);
  return std::optional<double>(negative ? -v : v);
}

double numberOrNaN(const std::optional<std::optional<double>>& read) {
  return read && *read ? **read : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace

std::optional<std::optional<double>> parseNumberField(std::string_view bytes) {
  if (const auto plain = plainNumber(bytes)) return plain;
  return parseTrimmedNumber(trimmed(bytes));
}

int numericFieldCount(const Layout& layout) {
  return int(std::count_if(layout.fields.begin(), layout.fields.end(), [](const Field& f) { return f.isNumeric(); }));
}

void readNumbers(const Layout& layout, const char* record, double* numbers) {
  for (const Field& f : layout.fields) {
    if (!f.isNumeric()) continue;
    *numbers++ = numberOrNaN(parseNumberField(std::string_view(record + f.offset, f.length)));
  }
}

namespace {

bool isFlag(char c) { return c == kLiveFlag || c == kDeletedFlag; }

// The whole records of `recordLength` bytes from `headerLength` on, when the
// file reads as a sound table with that layout: every record starts with a
// deletion flag, and the records are followed by the end mark as the last
// byte, or by nothing when they are as many as the header counts.
std::optional<qsizetype> wholeRecordsAt(QByteArrayView file, qsizetype headerLength, int recordLength,
                                        std::uint32_t headerCount) {
  const qsizetype size = file.size();
  if (headerLength > size || recordLength <= 1) return std::nullopt;
  const qsizetype data = size - headerLength;
  const qsizetype whole = data / recordLength;
  const qsizetype rest = data % recordLength;
  if (rest == 1) {
    if (file[size - 1] != kEofMark) return std::nullopt;
  } else if (rest != 0 || whole != qsizetype(headerCount)) {
    return std::nullopt;
  }
  for (qsizetype i = 0; i < whole; ++i) {
    if (!isFlag(file[headerLength + i * recordLength])) return std::nullopt;
  }
  return whole;
}

}  // namespace

namespace {

// The fixed part of the header: version, record count and the lengths it
// claims. False when the file is no table this program reads.
bool readHeader(QByteArrayView file, Scan& s) {
  const char* p = file.data();
  const qsizetype size = file.size();
  if (size < 32) {
    s.problems << QStringLiteral("文件只有 %1 个字节，连表头都不完整").arg(size);
    return false;
  }
  Layout& l = s.layout;
  l.version = static_cast<std::uint8_t>(p[0]);
  if (!supportedVersion(l.version)) {
    s.problems << QStringLiteral("版本字节 0x%1 不是 dBASE III 或 IV 表").arg(l.version, 2, 16, QLatin1Char('0'));
    return false;
  }
  s.headerCount = u32(p + kCountOffset);
  s.claimedHeaderLength = u16(p + 8);
  s.claimedRecordLength = u16(p + 10);
  l.productionIndex = static_cast<std::uint8_t>(p[kProductionIndexOffset]);
  l.languageDriver = static_cast<std::uint8_t>(p[kLanguageDriverOffset]);
  return true;
}

// The field descriptors, which run from byte 32 to the end mark 0x0D;
// without the mark the header length tells how many there are. False when
// a descriptor is damaged or there is none.
bool readFields(QByteArrayView file, Scan& s) {
  const char* p = file.data();
  const qsizetype size = file.size();
  Layout& l = s.layout;
  qsizetype at = 32;
  while (at < size && p[at] != kHeaderEnd && at + 32 <= size && at < 32 + 32 * 1024) at += 32;
  s.terminated = at < size && p[at] == kHeaderEnd;
  qsizetype count = (at - 32) / 32;
  if (!s.terminated && s.claimedHeaderLength >= 33) count = std::min<qsizetype>(count, (s.claimedHeaderLength - 33) / 32);
  int offset = 1;
  for (qsizetype i = 0; i < count; ++i) {
    const char* d = p + 32 + 32 * i;
    Field f;
    const qsizetype nameLen = qsizetype(strnlen(d, 11));
    f.name = QString::fromLatin1(d, nameLen).trimmed();
    f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(d[11])));
    f.length = static_cast<unsigned char>(d[16]);
    f.decimals = f.type == 'C' ? 0 : std::min<int>(static_cast<unsigned char>(d[17]), std::max(0, f.length - 2));
    f.offset = offset;
    if (f.length == 0 || f.name.isEmpty()) {
      s.problems << QStringLiteral("第 %1 个字段的描述已损坏").arg(i + 1);
      return false;
    }
    offset += f.length;
    l.fields.push_back(f);
  }
  if (l.fields.empty()) {
    s.problems << QStringLiteral("表头里没有字段描述");
    return false;
  }
  l.recordLength = offset;
  return true;
}

// Where the records start and how long they are, as far as the header's
// claims agree with the fields and the file.
void checkLengths(QByteArrayView file, Scan& s) {
  Layout& l = s.layout;
  const int claimedHeader = s.claimedHeaderLength;
  const int needed = 32 + 32 * int(l.fields.size()) + 1;
  if (!s.terminated) {
    s.structural = true;
    s.problems << QStringLiteral("字段描述没有结束标记");
  }
  // The header length may leave room after the end mark; it must not be
  // shorter. Room that only shifts the records is no room: when the records
  // are whole from the descriptors' end mark on and not from the claimed
  // length, the claim is wrong.
  const bool claimShiftsRecords = claimedHeader > needed && s.terminated &&
                                  s.claimedRecordLength == l.recordLength && claimedHeader <= file.size() &&
                                  !wholeRecordsAt(file, claimedHeader, l.recordLength, s.headerCount) &&
                                  wholeRecordsAt(file, needed, l.recordLength, s.headerCount);
  if (claimedHeader < needed || claimedHeader > file.size() || claimShiftsRecords) {
    s.structural = true;
    s.problems << QStringLiteral("表头长度写的是 %1 字节，实际为 %2 字节").arg(claimedHeader).arg(needed);
    l.headerLength = needed;
  } else {
    l.headerLength = claimedHeader;
  }
  if (s.claimedRecordLength != l.recordLength) {
    s.structural = true;
    s.problems << QStringLiteral("记录长度写的是 %1 字节，字段合计 %2 字节").arg(s.claimedRecordLength).arg(l.recordLength);
  }
}

// The whole records present after the header, and whether they end as a
// table ends.
void countRecords(QByteArrayView file, Scan& s) {
  const char* p = file.data();
  const qsizetype size = file.size();
  const Layout& l = s.layout;
  const qsizetype dataBytes = std::max<qsizetype>(0, size - l.headerLength);
  const qsizetype counted = qsizetype(s.headerCount) * l.recordLength;
  // An append writes the record and the end mark, then the count: when it
  // stopped in between, at most one record's bytes and the end mark follow
  // the counted records. The counted records are the table.
  if (!s.structural && dataBytes > counted && dataBytes - counted <= l.recordLength + 1) {
    const qsizetype extra = dataBytes - counted;
    const char first = p[l.headerLength + counted];
    if (isFlag(first) && (extra <= l.recordLength || p[size - 1] == kEofMark)) {
      s.records = s.headerCount;
      return;
    }
  }
  qsizetype whole = dataBytes / l.recordLength;
  qsizetype rest = dataBytes % l.recordLength;
  // Records past the claimed count that begin with the end-of-file mark are not records.
  if (whole > qsizetype(s.headerCount)) {
    qsizetype real = s.headerCount;
    while (real < whole && p[l.headerLength + real * l.recordLength] != kEofMark) ++real;
    if (real < whole) {
      rest = 0;  // whatever follows the end mark is not read
      whole = real;
    }
  }
  s.records = static_cast<std::uint32_t>(whole);
  if (whole != qsizetype(s.headerCount)) {
    s.structural = true;
    if (whole < qsizetype(s.headerCount)) {
      s.problems << QStringLiteral("表头说有 %1 条记录，文件里只有 %2 条完整的记录").arg(s.headerCount).arg(whole);
    } else {
      s.problems << QStringLiteral("表头说有 %1 条记录，文件里却有 %2 条").arg(s.headerCount).arg(whole);
    }
  }
  const qsizetype end = l.headerLength + whole * l.recordLength;
  if (whole == qsizetype(s.headerCount) || rest > 0) {
    if (rest == 0 && end >= size) {
      s.problems << QStringLiteral("文件末尾缺少结束标记");
    } else if (rest > 0 && p[end] != kEofMark) {
      s.structural = true;
      s.problems << QStringLiteral("文件被截断，最后一条记录不完整");
    }
  }
}

}  // namespace

Scan scanStructure(QByteArrayView file) {
  Scan s;
  if (!readHeader(file, s) || !readFields(file, s)) return s;
  checkLengths(file, s);
  s.usable = true;
  countRecords(file, s);
  return s;
}

Result<Mend> planMend(QByteArrayView file) {
  const Scan s = scanStructure(file);
  if (!s.usable) return failure(s.problems.join(QStringLiteral("；")));
  Mend m;
  m.layout = s.layout;
  m.records = s.records;
  if (!s.structural) return m;
  if (!s.terminated) return failure(QStringLiteral("字段描述没有结束标记，看不出字段到哪里为止"));
  if (s.claimedRecordLength != s.layout.recordLength) {
    return failure(QStringLiteral("表头的记录长度 %1 字节与字段合计 %2 字节不符，看不出哪个字段的宽度有误")
                      .arg(s.claimedRecordLength)
                      .arg(s.layout.recordLength));
  }
  const auto whole = wholeRecordsAt(file, s.layout.headerLength, s.layout.recordLength, s.headerCount);
  if (!whole) return failure(QStringLiteral("表头之后不是完整的记录加结束标记，文件可能被截断或记录错位"));
  if (s.layout.headerLength != s.claimedHeaderLength) {
    m.changes << QStringLiteral("表头长度由 %1 改为 %2 字节").arg(s.claimedHeaderLength).arg(s.layout.headerLength);
  }
  if (std::uint32_t(*whole) != s.headerCount) {
    m.changes << QStringLiteral("记录数由 %1 改为 %2").arg(s.headerCount).arg(*whole);
  }
  m.records = std::uint32_t(*whole);
  return m;
}

namespace {

// What the contents of some records hold that a sound table does not.
struct Findings {
  std::uint32_t deleted = 0;
  int badNumbers = 0;
  int badDates = 0;
  int badTexts = 0;
  int badFlags = 0;
  QString firstNumber;
  QString firstDate;
  QString firstText;

  // Adds what the records after these hold: the first of each kind stays the first.
  void add(const Findings& later) {
    if (badNumbers == 0) firstNumber = later.firstNumber;
    if (badDates == 0) firstDate = later.firstDate;
    if (badTexts == 0) firstText = later.firstText;
    deleted += later.deleted;
    badNumbers += later.badNumbers;
    badDates += later.badDates;
    badTexts += later.badTexts;
    badFlags += later.badFlags;
  }
};

// The records numbered `from` to `to` (not included); their numbers go to
// `numbers`, which is where record `from`'s belong.
Findings scanRecords(const Layout& l, const char* records, std::uint32_t from, std::uint32_t to, double* numbers) {
  Findings found;
  for (std::uint32_t r = from; r < to; ++r) {
    const char* rec = records + std::size_t(r) * l.recordLength;
    if (rec[0] == kDeletedFlag) ++found.deleted;
    if (rec[0] != kLiveFlag && rec[0] != kDeletedFlag) ++found.badFlags;
    for (const Field& f : l.fields) {
      const std::string_view bytes(rec + f.offset, f.length);
      if (f.isNumeric()) {
        if (const auto plain = plainNumber(bytes)) {
          if (numbers) *numbers++ = numberOrNaN(plain);
          continue;
        }
        const std::string_view t = trimmed(bytes);
        const auto read = parseTrimmedNumber(t);
        if (numbers) *numbers++ = numberOrNaN(read);
        if (!holdsNumber(t, read) && found.badNumbers++ == 0) {
          found.firstNumber = QStringLiteral("%1的 %2 为“%3”").arg(recordLabel(l, rec, r), f.name, shown(t));
        }
      } else if (f.type == 'D') {
        if (!parseDate(bytes) && found.badDates++ == 0) {
          found.firstDate = QStringLiteral("%1的 %2 为“%3”").arg(recordLabel(l, rec, r), f.name, shown(trimmed(bytes)));
        }
      } else if (f.type == 'C') {
        // Blanks and zero bytes at either end cannot make a text GBK or not.
        const std::string_view t = trimmed(bytes);
        if (!gbk::isValid(QByteArrayView(t.data(), qsizetype(t.size()))) && found.badTexts++ == 0) {
          found.firstText = QStringLiteral("%1的 %2").arg(recordLabel(l, rec, r), f.name);
        }
      }
    }
  }
  return found;
}

}  // namespace

void scanContents(Scan& s, const char* records, double* numbers) {
  const Layout& l = s.layout;
  // A large table is read in parts at once, each part's records on a
  // processor of their own; what they hold is told as if read in one.
  const unsigned parts = partsFor(std::size_t(s.records) * std::size_t(l.recordLength));
  const auto columns = std::size_t(numericFieldCount(l));
  std::vector<Findings> found(parts);
  inParallel(parts, [&](unsigned k) {
    const auto from = std::uint32_t(std::uint64_t(s.records) * k / parts);
    const auto to = std::uint32_t(std::uint64_t(s.records) * (k + 1) / parts);
    found[k] = scanRecords(l, records, from, to, numbers ? numbers + std::size_t(from) * columns : nullptr);
  });
  Findings all;
  for (const Findings& part : found) all.add(part);
  s.deleted += all.deleted;
  if (all.badNumbers) {
    s.problems << QStringLiteral("%1 个数值字段里不是数字（第一处：%2）").arg(all.badNumbers).arg(all.firstNumber);
  }
  if (all.badDates) s.problems << QStringLiteral("%1 个日期字段里不是日期（第一处：%2）").arg(all.badDates).arg(all.firstDate);
  if (all.badTexts) {
    s.problems << QStringLiteral("%1 个文字字段里有不是 GBK 的字节（第一处：%2）").arg(all.badTexts).arg(all.firstText);
  }
  if (all.badFlags) s.problems << QStringLiteral("%1 条记录的删除标记无效").arg(all.badFlags);
}

QString damageSentence(const QString& fileName, const QStringList& problems) {
  return QStringLiteral("表文件 %1 已损坏：%2。").arg(fileName, problems.join(QStringLiteral("；")));
}

QByteArray buildHeader(const Layout& l, std::uint32_t count, const core::Date& date) {
  const int headerLength = 32 + 32 * int(l.fields.size()) + 1;
  QByteArray h(headerLength, '\0');
  char* p = h.data();
  p[0] = static_cast<char>(l.version);
  const auto dated = dateAndCount(date, count);
  std::memcpy(p + kDateOffset, dated.data(), dated.size());
  p[8] = static_cast<char>(headerLength & 0xFF);
  p[9] = static_cast<char>((headerLength >> 8) & 0xFF);
  p[10] = static_cast<char>(l.recordLength & 0xFF);
  p[11] = static_cast<char>((l.recordLength >> 8) & 0xFF);
  p[kProductionIndexOffset] = static_cast<char>(l.productionIndex);
  p[kLanguageDriverOffset] = static_cast<char>(l.languageDriver);
  for (std::size_t i = 0; i < l.fields.size(); ++i) {
    char* d = p + 32 + 32 * i;
    const QByteArray name = l.fields[i].name.toLatin1().left(10);
    std::memcpy(d, name.constData(), name.size());
    d[11] = l.fields[i].type;
    d[16] = static_cast<char>(l.fields[i].length);
    d[17] = static_cast<char>(l.fields[i].decimals);
  }
  p[headerLength - 1] = kHeaderEnd;
  return h;
}

}  // namespace tessaro::store::dbf

namespace tessaro::store {

core::Date today() {
  const QDate d = QDate::currentDate();
  return core::Date{d.year(), d.month(), d.day()};
}

}  // namespace tessaro::store
