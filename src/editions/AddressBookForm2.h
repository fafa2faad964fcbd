#pragma once
// The settings window of the address-book edition: the title box stands with the categories in
// one frame; the category buttons need a name typed, a click in the list leaves the focus there,
// and the title is stored as typed, also when it is empty.

#include "shell/Form2.h"

namespace editions {

class AddressBookForm2 : public Form2 {
    Q_OBJECT
public:
    explicit AddressBookForm2(QWidget* parent = nullptr);

    void Command1_Click(int index) override;
    void List1_Click() override;
    void Text1_LostFocus() override;
    void Text3_LostFocus(int index) override;
};

} // namespace editions
