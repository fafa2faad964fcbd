// The lists of the era, category, prefecture and city boxes, and what the category and place
// boxes store when they lose the focus in edit mode.

#include "records/Form3.h"

#include "records/Boxes.h"
#include "records/FieldLimits.h"
#include "shell/Module1.h"

#include <QListView>
#include <QSet>
#include <QStringListModel>

using namespace Module1;
using records::BoxText;
using records::LockableComboBox;
using records::SetBoxText;

namespace {

// The box's list as a string-list model with rows of one height, so that a list of thousands of
// places opens at once. The text in the box stays as it was.
QStringListModel* listModel(LockableComboBox* box)
{
    auto* model = qobject_cast<QStringListModel*>(box->model());
    if (!model) {
        model = new QStringListModel(box);
        box->setModel(model);
        if (auto* view = qobject_cast<QListView*>(box->view()))
            view->setUniformItemSizes(true);
    }
    return model;
}

void fillList(LockableComboBox* box, const QStringList& items)
{
    const QString text = box->currentText();
    listModel(box)->setStringList(items);
    SetBoxText(box, text);
}

// The distinct texts of one column, first seen first; Null and "" are left out, and texts that
// differ in case or width are different texts.
QStringList distinct(const QList<QVariantList>& rows, int column)
{
    QStringList out;
    QSet<QString> seen;
    for (const QVariantList& row : rows) {
        if (row.size() <= column || row.at(column).isNull())
            continue;
        const QString s = row.at(column).toString();
        if (!s.isEmpty() && !seen.contains(s)) {
            seen.insert(s);
            out << s;
        }
    }
    return out;
}

} // namespace

void Form3::FillLookupCombos()
{
    Filling = true;
    QStringList eras;
    for (const Era& era : LoadEras())
        eras << era.name;
    for (LockableComboBox* box : {Combo1, Combo3, Combo4})
        fillList(box, eras);

    QStringList categories;
    if (CategoryRs.isOpen() && CategoryRs.recordCount() > 0) {
        for (const QVariantList& row : CategoryRs.readColumns({QStringLiteral("会員区分名称")}))
            if (!row.isEmpty() && !row.at(0).isNull())
                categories << row.at(0).toString();
    }
    fillList(Combo2, categories);

    // Without records the place lists and the shared tables stay as they are.
    PlaceListsPending = !IsBookEmpty();
    Filling = false;
}

void Form3::EnsurePlaceLists()
{
    if (!PlaceListsPending || IsBookEmpty())
        return;
    PlaceListsPending = false;
    const bool wasFilling = Filling;
    Filling = true;
    try {
        const QList<QVariantList> rows = Cursor.records().readColumns({QStringLiteral("都道府県"), QStringLiteral("市町村")});
        Prefectures = distinct(rows, 0);
        Cities = distinct(rows, 1);
        fillList(Combo5[0], Prefectures);
        fillList(Combo5[1], Cities);
    } catch (const db::Error& e) {
        ReportError(e);
    }
    Filling = wasFilling;
}

void Form3::Combo2_LostFocus()
{
    if (RecordMode != Edit || IsBookEmpty())
        return;
    const QString name = BoxText(Combo2);
    // Nothing chosen (a record whose category has no name shows none): the category stays.
    if (name.isEmpty())
        return;
    QVariant code;
    try {
        if (CategoryRs.isOpen() && CategoryRs.recordCount() > 0) {
            for (const QVariantList& row : CategoryRs.readColumns({QStringLiteral("会員区分コード"), QStringLiteral("会員区分名称")})) {
                if (row.size() == 2 && !row.at(1).isNull() && row.at(1).toString() == name) {
                    code = row.at(0);
                    break;
                }
            }
        }
    } catch (const db::Error& e) {
        ReportError(e);
        return;
    }
    if (!code.isValid() || code.isNull()) {
        RefuseInput(Combo2, records::InvalidInputMessage());
        return;
    }
    StoreField(QStringLiteral("会員区分"), code.toLongLong());
    if (RefusedBox == Combo2)
        RefusedBox = nullptr;
}

void Form3::Combo5_LostFocus(int index)
{
    if (RecordMode != Edit || IsBookEmpty() || index < 0 || index > 1)
        return;
    LockableComboBox* box = Combo5[size_t(index)];
    const QString text = BoxText(box);
    if (!records::FitsLimit(text, records::PlaceLimit)) {
        RefuseInput(box, records::InvalidInputMessage());
        return;
    }
    const QString field = index == 0 ? QStringLiteral("都道府県") : QStringLiteral("市町村");
    if (StoreField(field, text.isEmpty() ? QStringLiteral("") : text) && !text.isEmpty())
        AddPlaceToComboList(25 + index);
    if (RefusedBox == box)
        RefusedBox = nullptr;
}

void Form3::AddPlaceToComboList(int code)
{
    if (code != 25 && code != 26)
        return;
    LockableComboBox* box = Combo5[size_t(code - 25)];
    const QString text = BoxText(box);
    if (text.isEmpty())
        return;
    EnsurePlaceLists();
    QStringListModel* model = listModel(box);
    // Compared exactly, against what the list already holds (a place typed twice joins it once).
    if (model->stringList().contains(text))
        return;
    const int row = model->rowCount();
    model->insertRows(row, 1);
    model->setData(model->index(row), text);
    if (box->currentText() != text)
        SetBoxText(box, text);
}
