#pragma once
// The main window of the address-book edition: a narrower list of bare file names, five menu
// buttons without "Web管理", the edition's name in green where the other edition has its logo,
// and a "各種設定" that hands over to the settings window.

#include "shell/Form1.h"

namespace editions {

class AddressBookForm1 : public Form1 {
    Q_OBJECT
public:
    explicit AddressBookForm1(QWidget* parent = nullptr);

    // "各種設定" shows the settings window and then closes the main window; there is no 6.
    void Command1_Click(int index) override;

protected:
    // No book is opened for the list.
    QString DatabaseListLine(const QDir& folder, const QString& fileName) const override;
};

} // namespace editions
