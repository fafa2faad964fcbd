#pragma once
// List output: writes a table to a CSV file cell by cell, in code page 932 with CR LF.
// A non-empty cell is written in double quotes (inner quotes doubled, line breaks kept inside);
// an empty inner cell is a comma alone, an empty last cell one space. Only one list is open
// at a time. The file is built beside the old one and replaces it when the list ends, so a
// failed list leaves any earlier file as it was.

#include <QString>
#include <QStringList>

namespace Module1 {

// Opens path & ".csv" for writing. The five layout values belong to a printed list and play
// no part in the file. False (see ListOutputError) when the file cannot be created or another
// list is still open.
bool BeginListOutput(const QString& pathWithoutExtension, int columns, int leftMargin, int option,
                     const QString& fontName, int fontSize);

// Writes one cell; kind "E" or "e" ends the row with CR LF, any other kind is an inner cell.
// The column plays no part in the file. False when no list is open or writing failed; after a
// failure the list is given up and EndListOutput reports it.
bool WriteListCell(int column, const QString& text, const QString& kind);

// Writes a whole row, its cells in order and the last one ending it. False as WriteListCell.
bool WriteListLine(const QStringList& cells);

// Closes the list and puts the file in place. False when no list was open, an earlier step
// failed or the file could not be finished.
bool EndListOutput();

// Gives the open list up: the file is not written and any earlier file stays as it was.
void CancelListOutput();

// Why the last failing call failed.
QString ListOutputError();
// Cells of the current (or last) list in which code page 932 could not hold some character;
// those characters were written as "?" (a character with a full-width twin, such as 〜 or −,
// is written as that twin and not counted). The caller tells the user how many cells it was.
int ListOutputSubstitutedCells();

} // namespace Module1
