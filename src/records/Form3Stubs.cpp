// Handlers of the record window that are not written yet. Each is already wired to its control
// or command and does nothing, so that the window works without them; each moves to its own file
// when it is written.

#include "records/Form3.h"

#include <QRadioButton>

void Form3::Text1_GotFocus(int) {}
void Form3::Text1_LostFocus(int) {}
void Form3::Text2_GotFocus(int) {}
void Form3::Text2_LostFocus(int) {}
void Form3::Combo1_GotFocus() {}
void Form3::Combo2_GotFocus() {}
void Form3::Combo3_GotFocus() {}
void Form3::Combo4_GotFocus() {}
void Form3::Combo5_GotFocus(int) {}
void Form3::Combo1_LostFocus() {}
void Form3::Combo2_LostFocus() {}
void Form3::Combo3_LostFocus() {}
void Form3::Combo4_LostFocus() {}
void Form3::Combo5_LostFocus(int) {}
void Form3::Check1_Click() {}
void Form3::Option18_Click(int) {}
void Form3::Option1_Click(int) {}

void Form3::FillLookupCombos() {}
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

void Form3::EnterSearchMode() {}
void Form3::ExecuteSearch(int) {}
void Form3::AddRecord() {}
void Form3::DeleteRecord() {}
void Form3::OpenDatabaseFile() {}
void Form3::ExportCsv() {}
void Form3::ImportCsv() {}

void Form3::Image1_Click() {}
void Form3::Command2_Click() {}
void Form3::Command3_Click() {}
void Form3::Command5_Click(int) {}
void Form3::Command6_Click(int) {}
