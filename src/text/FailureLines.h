#pragma once
// What a removal could not do, one line per failed item in the order the
// failures happened, written twice from the same values: in English for the
// activity log, the command line and its JSON, and as the window shows it, with
// our own words in the user's language and docker's messages as docker wrote them.

#include <QString>
#include <QStringList>

namespace stowage {

struct FailureLines {
    QStringList logged;
    QStringList shown;

    void append(const QString& loggedLine, const QString& shownLine)
    {
        logged << loggedLine;
        shown << shownLine;
    }
    FailureLines& operator+=(const FailureLines& more)
    {
        logged += more.logged;
        shown += more.shown;
        return *this;
    }
    bool isEmpty() const { return logged.isEmpty(); }
    qsizetype size() const { return logged.size(); }
};

}  // namespace stowage
