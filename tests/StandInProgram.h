#pragma once
// A stand-in for a program of the desktop (xdg-open, xdg-email): a small script in a temporary
// folder that writes down the arguments it got, one a line, and then ends as the test tells it.

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace standin {

class Program {
public:
    // `ending`: the shell lines run after the arguments are written down ("exit 3", "kill -9 $$").
    explicit Program(const QByteArray& ending = "exit 0", const QString& name = QStringLiteral("xdg-open"))
        : dir_(std::make_unique<QTemporaryDir>())
    {
        if (!dir_->isValid())
            return;
        path_ = dir_->filePath(name);
        QFile script(path_);
        if (!script.open(QIODevice::WriteOnly))
            return;
        script.write("#!/bin/sh\n"
                     "{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > \"$0.part\"\n"
                     "mv \"$0.part\" \"$0.args\"\n");
        script.write(ending + "\n");
        script.close();
        valid_ = script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    bool isValid() const { return valid_; }
    QString path() const { return path_; }
    QString folder() const { return dir_->path(); }

    // The arguments of its run, once it has written them down.
    std::optional<QStringList> arguments() const
    {
        QFile got(path_ + QStringLiteral(".args"));
        if (!got.open(QIODevice::ReadOnly))
            return std::nullopt;
        QStringList lines = QString::fromUtf8(got.readAll()).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        if (lines.isEmpty() || lines.first().toInt() != lines.size() - 1)
            return std::nullopt;
        lines.removeFirst();
        return lines;
    }
    bool ran() const { return arguments().has_value(); }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString path_;
    bool valid_ = false;
};

} // namespace standin
