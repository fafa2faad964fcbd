// CSV export and import of the record window: not written yet.

#include "records/Form3.h"

void Form3::ExportCsv() {}
void Form3::ImportCsv() {}
