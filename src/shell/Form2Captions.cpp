// The settings window's 45 field-caption boxes.

#include "shell/Form2.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/InputMode.h"
#include "platform/ui/TextFit.h"
#include "platform/ui/Twips.h"
#include "shell/Module1.h"
#include "shell/SettingsStore.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using settings::fieldCaption;
using settings::FieldCaptionCount;

namespace {

constexpr int kFirstRow = 360;
constexpr int kRowStep = 240;

QLabel* label(QWidget* parent, const QString& text, const QString& systemName, int index, const QRect& place)
{
    auto* l = new QLabel(text, parent);
    ui::name(l, systemName, index);
    l->setGeometry(place);
    return l;
}

} // namespace

void Form2::BuildFrame2()
{
    Frame2 = new QGroupBox(QStringLiteral("ラベル設定　[編集]後は自動更新"), this);
    ui::name(Frame2, QStringLiteral("Frame2"));
    Frame2->setStyleSheet(QStringLiteral("QGroupBox::title { color: blue; }"));
    Frame2->setGeometry(ui::twipsRect(120, 120, 9855, 10695));

    auto makeBox = [this](int i, int left, int top, int width) {
        auto* box = new QLineEdit(Frame2);
        ui::name(box, QStringLiteral("Text2"), i, fieldCaption(i).label);
        box->setGeometry(ui::twipsRect(left, top, width, 270));
        ui::setInputMode(box, ui::InputMode::Hiragana);
        Watch(box, [this, i] { Text2_LostFocus(i); }, [this, i] { Text2_GotFocus(i); });
        Text2[size_t(i)] = box;
    };

    // Rows in the order the tab key visits them: the left column, then the three headings.
    const QList<int>& order = settings::captionColumnOrder();
    for (int r = 0; r < order.size(); ++r) {
        const int i = order[r];
        const int top = kFirstRow + r * kRowStep;
        const bool besideHeading = i >= settings::headingBesideRow(28) && i <= settings::headingBesideRow(30);
        Label3[size_t(i)] = label(Frame2, fieldCaption(i).label, QStringLiteral("Label3"), i,
                                  ui::twipsRect(120, top, 1695, kRowStep));
        makeBox(i, 1920, top, 1695);
        Label4[size_t(i)] = label(Frame2, fieldCaption(i).hint, QStringLiteral("Label4"), i,
                                  ui::twipsRect(3720, top, besideHeading ? 1215 : 2295, kRowStep));
    }
    for (int i : {28, 29, 30}) {
        const int top = kFirstRow + int(order.indexOf(settings::headingBesideRow(i))) * kRowStep;
        Label3[size_t(i)] = label(Frame2, fieldCaption(i).label, QStringLiteral("Label3"), i,
                                  ui::twipsRect(4980, top, 1095, kRowStep));
        Label3[size_t(i)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        makeBox(i, 6120, top, 3015);
        Label4[size_t(i)] = label(Frame2, fieldCaption(i).hint, QStringLiteral("Label4"), i,
                                  ui::twipsRect(9240, top, 555, kRowStep));
    }
    // The hints beside the headings' rows, whole, up to the headings' captions.
    for (int i : {28, 29, 30}) {
        QLabel* hint = Label4[size_t(settings::headingBesideRow(i))];
        ui::fitText(hint, hint->x(), Label3[size_t(i)]->x());
    }
}

void Form2::LoadFieldCaptions()
{
    // The first row only; a field that cannot be read leaves its box as it was.
    try {
        if (SettingsCaptionRs.isOpen() && SettingsCaptionRs.recordCount() > 0)
            SettingsCaptionRs.moveFirst();
    } catch (const db::Error&) {
    }
    for (int i = 0; i < FieldCaptionCount; ++i) {
        try {
            Text2[size_t(i)]->setText(settings::shownCaption(i, SettingsCaptionRs.value(fieldCaption(i).field)));
            Text2[size_t(i)]->setCursorPosition(0);
        } catch (const db::Error&) {
        }
    }
}

void Form2::SaveFieldCaptions(int index)
{
    QLineEdit* box = Text2[size_t(index)];
    if (!Fits(box, CaptionSizes[size_t(index)]))
        return;
    try {
        if (SettingsCaptionRs.recordCount() == 0)
            return;  // a table without its row: nothing to store into
        SettingsCaptionRs.moveFirst();
        SettingsCaptionRs.edit();
        SettingsCaptionRs.setValue(fieldCaption(index).field,
                                   settings::textValue(settings::storedCaption(index, box->text())));
        SettingsCaptionRs.update();
    } catch (const db::Error& e) {
        if (SettingsCaptionRs.isOpen())
            SettingsCaptionRs.cancelUpdate();
        Module1::ReportError(e);
    }
}

void Form2::Text2_GotFocus(int index)
{
    if (!SettingsEditMode)
        return;
    QLineEdit* box = Text2[size_t(index)];
    if (box->text().isEmpty())
        ui::dialogs().beep();
    else
        SelectOnEntry(box);
}

void Form2::Text2_LostFocus(int index)
{
    if (SettingsEditMode)
        SaveFieldCaptions(index);
}
