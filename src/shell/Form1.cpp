#include "shell/Form1.h"
#include "edition/Profile.h"

#include "platform/db/Database.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Twips.h"
#include "shell/Formats.h"
#include "shell/Helpers.h"
#include "shell/Module1.h"
#include "shell/SelectDatabaseFile.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

using namespace Module1;


namespace {

const char* const kMenuCaptions[7] = {"メール管理", "住所録管理", "住所録一覧表", "宛名印刷", "各種設定", "終了", "Web管理"};
const char* const kMenuWindows[7] = {"Form22", "Form3", "Form4", "Form5", "Form2", "", "Form6"};
const QString kHomePage = QStringLiteral("https://example.org/kartovia/");
const QString kNullTitle = QStringLiteral("****************************** ");

QToolButton* imageButton(QWidget* parent, const QString& systemName, const QString& caption, QStyle::StandardPixmap icon)
{
    auto* b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setIconSize(QSize(32, 32));
    b->setToolTip(caption);
    b->setAutoRaise(true);
    ui::name(b, systemName, -1, caption);
    return b;
}

// The title line of one book, read without changing it.
QString bookTitle(const QString& path)
{
    // A FIFO, socket or device named "*.mdb" is listed as a book that cannot be read, never opened.
    if (!QFileInfo(path).isFile())
        return kNullTitle;
    try {
        // A book whose last write was cut off reads as it was before that write.
        db::Database::rollBackHotJournal(path);
        const db::Database book = db::Database::open(path, db::OpenMode::ReadOnly);
        // The first row in the table's own order, as a table recordset would stand on it; one
        // query, for a folder may hold a hundred books.
        const QVariant title = book.scalar(
            QStringLiteral("SELECT \"%1\" FROM \"管理情報\" ORDER BY rowid LIMIT 1").arg(BookSettings::Title));
        return title.isNull() ? kNullTitle : title.toString();
    } catch (const db::Error&) {
        return kNullTitle;  // listed all the same, so one damaged book hides no other
    }
}

} // namespace

Form1::Form1(QWidget* parent) : ui::Window(parent)
{
    ui::name(this, QStringLiteral("Form1"));
    resize(ui::twips(10560), ui::twips(7800));

    List1 = new QListWidget(this);
    ui::name(List1, QStringLiteral("List1"), -1, QStringLiteral("住所録データベース一覧"));
    // Title and file name, 40 bytes each, side by side in the fixed-pitch font.
    List1->setFont(QFont(QStringLiteral("ＭＳ ゴシック"), 9));
    List1->setUniformItemSizes(true);
    List1->setGeometry(ui::twipsRect(360, 960, 8175, 5460));
    connect(List1, &QListWidget::itemSelectionChanged, this, &Form1::List1_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { Command1_Click(1); });

    // The menu column, from the top; the mail button stays hidden by design.
    const std::pair<int, int> tops[7] = {{2, 840}, {1, 1560}, {6, 2280}, {3, 3000}, {4, 3720}, {5, 6000}, {0, 4440}};
    for (const auto& [i, top] : tops) {
        auto* b = new QPushButton(QString::fromUtf8(kMenuCaptions[i]), this);
        ui::name(b, QStringLiteral("Command1"), i);
        b->setGeometry(ui::twipsRect(8880, top, 1215, 495));
        connect(b, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        Command1[size_t(i)] = b;
    }
    Command1[0]->hide();

    Image6 = imageButton(this, QStringLiteral("Image6"), QStringLiteral("データベースファイル選択"), QStyle::SP_DialogOpenButton);
    Image1 = imageButton(this, QStringLiteral("Image1"), QStringLiteral("画像ファイル表示"), QStyle::SP_FileDialogContentsView);
    Image2 = imageButton(this, QStringLiteral("Image2"), QStringLiteral("バージョン情報"), QStyle::SP_MessageBoxInformation);
    Image6->setGeometry(ui::twipsRect(5640, 240, 600, 600));
    Image1->setGeometry(ui::twipsRect(6360, 240, 600, 600));
    Image2->setGeometry(ui::twipsRect(7080, 240, 600, 600));
    Image3 = imageButton(this, QStringLiteral("Image3"), QStringLiteral("ホームページ"), QStyle::SP_DriveNetIcon);
    Image3->setGeometry(ui::twipsRect(2880, 240, 600, 600));
    connect(Image6, &QToolButton::clicked, this, &Form1::Image6_Click);
    connect(Image1, &QToolButton::clicked, this, &Form1::Image1_Click);
    connect(Image2, &QToolButton::clicked, this, &Form1::Image2_Click);
    connect(Image3, &QToolButton::clicked, this, &Form1::Image3_Click);

    Label2 = new QLabel(this);
    // Read by the path it shows, which changes with the selection; "Label2" is its description.
    ui::name(Label2, QStringLiteral("Label2"));
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label2->setGeometry(ui::twipsRect(480, 6600, 9615, 255));

    Label1[0] = new QLabel(edition::profile().MakerNotice(), this);
    ui::name(Label1[0], QStringLiteral("Label1"), 0, Label1[0]->text());
    Label1[0]->setGeometry(ui::twipsRect(360, 7200, 9735, 255));
}

void Form1::formLoad()
{
    // 1. The start directory is the folder of "PMPath.txt".
    StartDir = QDir::currentPath();
    StartDrive = StartDir.size() >= 2 && StartDir[1] == QLatin1Char(':') ? StartDir.left(2) : QString();

    // 2. The start-up book.
    const PmPathRead pm = ReadPmPath(StartDir);
    if (pm.exists) {
        if (!pm.path.isEmpty())
            MenuDbFile.FullPath = pm.path;
        if (pm.path.isEmpty() || !QFileInfo(pm.path).isFile())
            SelectDatabaseFile(MenuDbFile, MenuDbFile);
    }

    // 3.-4.
    List1->clear();
    Label2->setText(MenuDbFile.FullPath);
    SplitDbFilePath(MenuDbFile, MenuDbFile);

    // 6.-8.
    OpenCommonDatabase();
    FillDatabaseFileList();
    SetCaption(edition::profile().MainWindowTitle);

    // The shared objects go when the program ends, not when this window does.
    static bool closeAtQuit = false;
    if (!closeAtQuit) {
        closeAtQuit = true;
        connect(qApp, &QCoreApplication::aboutToQuit, qApp, &CloseSharedObjects);
    }
}

void Form1::OpenCommonDatabase()
{
    const QString path = CommonDbPath(MenuDbFile);
    try {
        Module1::OpenCommonDatabase(path);
    } catch (const db::Error& e) {
        // Without it the era texts stay empty; the user is told where it was looked for.
        ui::dialogs().message(QStringLiteral("共通情報データベースを開けません。\n") + path + QStringLiteral("\n")
                                  + e.description(),
                              {}, ui::Icon::Exclamation);
    }
}

void Form1::SetCaption(const QString& title)
{
    setWindowTitle(FitBytes(title, 160) + FormatCaptionDate(ui::dialogs().today()));
}

void Form1::FillDatabaseFileList()
{
    DbFileNames.clear();
    const QDir folder(DatabaseFolder(MenuDbFile));
    QStringList names;
    const QFileInfoList entries = folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    for (const QFileInfo& fi : entries) {
        if (fi.fileName().endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive) && fi.fileName() != QStringLiteral("共通情報.mdb"))
            names << fi.fileName();
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    DbFileNames = names.mid(0, MaxListedFiles);

    const QSignalBlocker block(List1);
    List1->clear();
    int selected = -1;
    for (int i = 0; i < DbFileNames.size(); ++i) {
        const QString& name = DbFileNames[i];
        List1->addItem(DatabaseListLine(folder, name));
        if (name == MenuDbFile.FileName)
            selected = i;
    }
    if (selected >= 0) {
        List1->setCurrentRow(selected);
        List1_Click();  // the old list raised its click when a line was selected by the program
    }
}

QString Form1::DatabaseListLine(const QDir& folder, const QString& fileName) const
{
    return FitBytes(bookTitle(folder.filePath(fileName)), 40) + FitBytes(fileName, 40);
}

void Form1::List1_Click()
{
    const int row = List1->currentRow();
    if (row < 0 || row >= DbFileNames.size() || !List1->item(row)->isSelected())
        return;
    DbFile f = MenuDbFile;
    f.FileName = DbFileNames[row];
    Label2->setText(f.Drive + f.Folder + PathSeparator(f) + f.FileName);
}

bool Form1::OpenCurrentBook()
{
    DbFile chosen = MenuDbFile;
    const int row = List1->currentRow();
    if (row >= 0 && row < DbFileNames.size() && List1->item(row)->isSelected()) {
        chosen.FileName = DbFileNames[row];
        chosen.FullPath = chosen.Drive + chosen.Folder + PathSeparator(chosen) + chosen.FileName;
        SplitDbFilePath(chosen, chosen);
    }
    try {
        PublishCurrentBook(chosen);
    } catch (const db::Error& e) {
        ReportError(e);
        return false;
    }
    MenuDbFile = chosen;
    return true;
}

void Form1::Command1_Click(int index)
{
    const bool opened = OpenCurrentBook();
    if (index == 5) {
        close();  // unloads the main window; other windows stay and the program ends with the last one
        return;
    }
    if (!opened)
        return;
    const QString window = QString::fromUtf8(kMenuWindows[index]);
    auto& registry = ui::WindowRegistry::instance();
    if (!window.isEmpty() && registry.hasFactory(window))
        registry.show(window);
}

void Form1::Image6_Click()
{
    if (!SelectDatabaseFile(MenuDbFile, MenuDbFile))
        return;
    if (!SplitDbFilePath(MenuDbFile, MenuDbFile)) {
        ui::dialogs().message(QStringLiteral("データベースファイルではありません。\n") + MenuDbFile.FullPath, {},
                              ui::Icon::Exclamation);
        return;
    }
    Label2->setText(MenuDbFile.FullPath);
    FillDatabaseFileList();
}

void Form1::Image1_Click()
{
    const DbFile saved = CurrentDbFileCopy;
    DialogCancelled = false;
    ui::OpenFileOptions options;
    options.title = QStringLiteral("画像ファイル指定");
    options.filters = {{QStringLiteral("画像ファイル"),
                        QStringLiteral("*.jpg;*.JPG;*.bmp;*.BMP;*.gif;*.GIF;*.emf;*.EMF;*.wmf;*.WMF;*.jpeg;*.JPEG;"
                                       "*.jpe;*.JPE;*.jfif;*.JFIF;*.png;*.PNG")}};
    options.mustExist = true;
    const std::optional<QString> chosen = ui::dialogs().openFile(options);
    if (!chosen || chosen->isEmpty()) {
        DialogCancelled = true;
        return;
    }
    const QString folder = QFileInfo(*chosen).absolutePath();
    ViewerTitle = QStringLiteral("画像ファイル");
    CurrentDbFileCopy.DataFolder = folder;
    CurrentDbFileCopy.PreviewFolder = QDir(folder).filePath(QStringLiteral("Preview"));
    auto& registry = ui::WindowRegistry::instance();
    if (registry.hasFactory(QStringLiteral("Form14")))
        registry.show(QStringLiteral("Form14"));
    CurrentDbFileCopy = saved;
}

void Form1::Image2_Click()
{
    const QStringList lines = {
        edition::profile().AboutFirstLine(),
        QStringLiteral("■動作環境　Linux（Debian 12 以降）"),
        QStringLiteral("■機能　　　住所録管理機能を中心に顧客管理機能をサポート"),
        QStringLiteral("　　　　　　宛名印刷機能　タックシート、はがき宛名印刷"),
        QStringLiteral("　　　　　　画像管理機能　デジカメ画像管理（スライドショー）"),
        QStringLiteral("■操作　　　使用するデータベースファイルを選択後、コマンドクリック"),
        QStringLiteral("■開発　　　") + edition::profile().CompanyName,
        QStringLiteral("■連絡先　　info@example.org"),
        QStringLiteral("■ホームページ　") + kHomePage,
    };
    ui::dialogs().message(lines.join(QStringLiteral("\n\n")), {}, ui::Icon::None);
}

void Form1::Image3_Click() { OpenUrl(kHomePage); }
