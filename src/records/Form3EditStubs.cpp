// Editing, lookup lists, value totals and search of the record window: not written yet.
// Each handler is already wired to its control and does nothing.

#include "records/Form3.h"

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
void Form3::EnterSearchMode() {}
void Form3::ExecuteSearch(int) {}
