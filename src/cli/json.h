// JSON output written by hand, so that the keys keep the order the commands
// give them and every value prints as the decimal it holds.
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <cmath>
#include <optional>
#include <string>

#include "cli/commands.h"

namespace tessaro::cli {

// Numbers in their shortest exact form. JSON has no infinity and no NaN:
// such a value is noted instead of printed, and an output that met one is
// withheld by its command.
class JsonNumbers {
 public:
  QByteArray operator()(double v) {
    if (!std::isfinite(v)) {
      finite_ = false;
      return "0";
    }
    if (v == 0) return "0";
    return QByteArray::number(v, 'g', QLocale::FloatingPointShortest);
  }
  // A number, or null when there is none.
  QByteArray operator()(const std::optional<double>& v) { return v ? (*this)(*v) : QByteArray("null"); }
  bool allFinite() const { return finite_; }

 private:
  bool finite_ = true;
};

// A UTF-8 text as a JSON string.
inline QByteArray jsonString(const std::string& s) {
  QByteArray out = "\"";
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += QByteArray::number(c, 16).rightJustified(2, '0');
        } else {
          out += char(c);
        }
    }
  }
  out += '"';
  return out;
}

inline QString jsonString(const QString& s) { return QString::fromUtf8(jsonString(s.toStdString())); }


// Prints `json` (one line) for `command`, unless a figure in it was not a
// finite number: that is said instead and nothing is printed. The exit status.
inline int printJson(Context& ctx, const char* command, const QString& json, const JsonNumbers& numbers) {
  if (!numbers.allFinite()) {
    ctx.err << "tessaro-cli " << command << ": a computed figure is not a finite number; no result is printed\n";
    return kFailed;
  }
  ctx.out << json << "\n";
  return kOk;
}

}  // namespace tessaro::cli
