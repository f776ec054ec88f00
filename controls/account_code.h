#pragma once
// The text rules of an account code (a synthetic account, then "." and a code per
// analytic level) and of the level lists a host supplies for it.
#include <QString>
#include <QStringList>
#include <vector>

namespace quillon::account_code {

// One row of a level list: "code&description|".
struct LevelRow {
    QString code;
    QString description;
};

// The host's answer split into one level list per analytic level ("$" between them);
// an empty answer means no levels.
QStringList splitLevels(const QString& answer);

// The rows of one level list. Each row ends with "|"; the text after the last "|" is
// ignored. The description is the text between the first and a second "&"; a row
// without "&" is a code without description.
std::vector<LevelRow> levelRows(const QString& list);

// The number of "." before `caret`: the analytic level being typed (0 = synthetic).
int dotsBefore(const QString& text, int caret);

// The codes of the analytic levels in `text` (after the first "."), one per level:
// levels without a segment get "", segments beyond `levels` are ignored.
QStringList chosenCodes(const QString& text, int levels);

// `text` with the analytic segment that holds `caret` replaced by `code`: from after the
// last "." before the caret to the next "." (or the end). `caret` must follow a ".".
// Gives the new text and, through `segmentEnd`, the position just after the new code.
QString replaceSegment(const QString& text, int caret, const QString& code, int* segmentEnd = nullptr);

}  // namespace quillon::account_code
