#pragma once
// The record window's boxes are line edits, a multi-line edit and editable combo boxes; these
// read, write and lock any of them alike. A locked box is read-only, never disabled: it can still
// take the focus and be read.

#include <QComboBox>
#include <QString>
#include <functional>

class QWidget;

namespace records {

// An editable combo box that can be locked: its text cannot be typed over and no other entry of
// its list can be chosen, by mouse, wheel or keys.
class LockableComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit LockableComboBox(QWidget* parent = nullptr);
    void setLocked(bool locked);
    bool isLocked() const { return locked_; }
    void showPopup() override;
    // Runs before the list is shown, so that a list can be built only when it is first wanted.
    void setBeforePopup(std::function<void()> f) { beforePopup_ = std::move(f); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool locked_ = false;
    std::function<void()> beforePopup_;
};

QString BoxText(const QWidget* box);
void SetBoxText(QWidget* box, const QString& text);
void SetBoxLocked(QWidget* box, bool locked);
bool IsBoxLocked(const QWidget* box);

} // namespace records
