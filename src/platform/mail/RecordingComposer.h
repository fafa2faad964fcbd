#pragma once
// A composer for tests: starts nothing and records what the mail program would have been given.

#include "platform/mail/Composer.h"

#include <QList>

namespace mailclient {

class RecordingComposer : public Composer {
public:
    // The addresses of every request, as handed in.
    QList<QStringList> requests;
    // The argument list xdg-email would have got for each request that passed.
    QList<QStringList> arguments;
    // Result of a request with addresses; `failure` is its error text when false.
    bool succeed = true;
    QString failure = QStringLiteral("メールソフトを起動できませんでした");
    // What the mail program says when it ends, at once, after a request that passed: empty when
    // it took the mail.
    QString ends;

    bool compose(const QStringList& addresses, QString* error, desktop::Outcome outcome) override;
};

} // namespace mailclient
