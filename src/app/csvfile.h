// CSV files as the program writes them for spreadsheets: UTF-8 with a
// byte-order mark (so that LibreOffice and Excel show the Chinese), CRLF
// line ends, cells that hold a comma, a quote or a line break quoted.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>

namespace tessaro::app {

// Appends one row of `cells` to `text`.
void appendCsvRow(std::string& text, const QStringList& cells);

// The bytes of a CSV file whose rows are `text`: the byte-order mark first.
QByteArray csvFileBytes(const std::string& text);

// Writes `bytes` to `path`, replacing the file only once the whole text is
// written. False, with a sentence naming the file in `error`, when it
// cannot be written.
bool writeCsvFile(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace tessaro::app
