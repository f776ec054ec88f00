#include "account_code.h"

#include <algorithm>

namespace quillon::account_code {

QStringList splitLevels(const QString& answer) {
    if (answer.isEmpty()) return {};
    return answer.split(u'$');
}

std::vector<LevelRow> levelRows(const QString& list) {
    std::vector<LevelRow> rows;
    const QStringList pieces = list.split(u'|');
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
        const QStringList parts = pieces[i].split(u'&');
        rows.push_back({parts[0], parts.size() > 1 ? parts[1] : QString()});
    }
    return rows;
}

int dotsBefore(const QString& text, int caret) { return static_cast<int>(text.left(std::max(caret, 0)).count(u'.')); }

QStringList chosenCodes(const QString& text, int levels) {
    QStringList codes(std::max(levels, 0));
    const qsizetype first = text.indexOf(u'.');
    if (first < 0) return codes;
    const QStringList segments = text.mid(first + 1).split(u'.');
    for (qsizetype i = 0; i < codes.size() && i < segments.size(); ++i) codes[i] = segments[i];
    return codes;
}

QString replaceSegment(const QString& text, int caret, const QString& code, int* segmentEnd) {
    const qsizetype start = text.left(std::clamp<qsizetype>(caret, 0, text.size())).lastIndexOf(u'.') + 1;
    qsizetype end = text.indexOf(u'.', start);
    if (end < 0) end = text.size();
    if (segmentEnd) *segmentEnd = static_cast<int>(start + code.size());
    return text.left(start) + code + text.mid(end);
}

}  // namespace quillon::account_code
