#pragma once
// The one-line boxes of the send tab that hold recipient lists of any length ("宛名の名称",
// "メールアドレス"). "全員" on a large book puts megabytes into one line, and a line edit lays out
// its whole line at every setText. An unfocused line edit shows only the start of its line, so
// while the box has no focus only that start is handed to the line edit and the rest is kept
// beside it; the moment the box takes focus (or before anything can edit it: keys, input
// methods, drops, the context menu) the line edit gets the whole text. While assistive technology
// is running the line edit holds the whole text (it gets it when the technology starts), so that
// the box is read in full.
//
// text(), setText() and clear() here are the box's whole text; read and write the box through a
// RecipientBox pointer. A QLineEdit::setText or clear through a base pointer replaces the whole
// text too (the rest kept is dropped).

#include <QAccessible>
#include <QLineEdit>

namespace mail {

class RecipientBox : public QLineEdit, public QAccessible::ActivationObserver {
    Q_OBJECT

public:
    explicit RecipientBox(QWidget* parent = nullptr);
    ~RecipientBox() override;

    // Characters of the start handed to the line edit while only the start is shown: a few
    // screens wide at any font.
    static constexpr qsizetype ShownLength = 2048;

    QString text() const;
    void setText(const QString& text);
    void clear();
    // True while the line edit holds only the start of the text.
    bool showsStartOnly() const { return startOnly_; }

    void accessibilityActiveChanged(bool active) override;

protected:
    bool event(QEvent* e) override;

private:
    void showWhole();
    void setShown(const QString& shown);

    QString whole_;
    bool startOnly_ = false;
    bool setting_ = false;
};

} // namespace mail
