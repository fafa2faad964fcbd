// Record list, navigation, display order, adding and deleting, switching the book, pictures and
// links of the record window: not written yet. Each handler is already wired and does nothing.

#include "records/Form3.h"

#include <QRadioButton>

void Form3::FillRecordList() {}
void Form3::RefreshRecordList() {}
void Form3::List1_Click() {}
void Form3::Label1_Click(int) {}

void Form3::Option2_Click(int index)
{
    // The order cannot be changed yet: the button of the order in force stays on.
    if (index + 1 != DisplayOrder)
        Option2[size_t(DisplayOrder - 1)]->setChecked(true);
}

void Form3::AddRecord() {}
void Form3::DeleteRecord() {}
void Form3::OpenDatabaseFile() {}
void Form3::Image1_Click() {}
void Form3::Command2_Click() {}
void Form3::Command3_Click() {}
void Form3::Command5_Click(int) {}
void Form3::Command6_Click(int) {}
