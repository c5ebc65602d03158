#include "app/qt/file_filter.h"

#include <QRegularExpression>

namespace snipwell::qt {

namespace {

QStringList splitPatterns(const QString& patterns) {
    QStringList list;
    for (const QString& pattern :
         patterns.split(QRegularExpression(QStringLiteral("[; ]")), Qt::SkipEmptyParts))
        list << pattern.trimmed();
    return list;
}

// The patterns a description carries at its end, "Mp3 Files (*.Mp3)".
QStringList trailingPatterns(const QString& description) {
    static const QRegularExpression trailing(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = trailing.match(description);
    return match.hasMatch() ? splitPatterns(match.captured(1)) : QStringList();
}

bool samePatterns(QStringList a, QStringList b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].compare(b[i], Qt::CaseInsensitive) != 0) return false;
    }
    return true;
}

}  // namespace

DialogFilter parseDialogFilter(const std::string& filter) {
    DialogFilter result;
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QStringList patterns = splitPatterns(parts[i + 1]);
        if (patterns.isEmpty()) continue;
        if (result.firstPatterns.isEmpty()) result.firstPatterns = patterns;
        if (samePatterns(trailingPatterns(description), patterns)) {
            result.shownEntries << description;
        } else {
            result.shownEntries << description + QStringLiteral(" (") +
                                       patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        }
    }
    if (result.shownEntries.isEmpty()) {
        result.shownEntries << QStringLiteral("*");
        result.firstPatterns << QStringLiteral("*");
    }
    return result;
}

}  // namespace snipwell::qt
