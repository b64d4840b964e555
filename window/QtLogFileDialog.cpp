// The log file dialog: a folder list read with readdir, so every name the file system
// holds can be chosen, whatever its encoding.
#include "window/QtLogFileDialog.h"

#include <dirent.h>
#include <errno.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringDecoder>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <map>
#include <vector>

#include "window/QtText.h"

namespace quorlet3 {
namespace {

constexpr int kRawNameRole = Qt::UserRole;
constexpr int kIsFolderRole = Qt::UserRole + 1;

struct FileType {
    const char* label;
    const char* pattern;
};
// "*" and not "*.*": here a name needs no dot, and all files must include those without one.
constexpr FileType kFileTypes[] = {{"logファイル(*.log)", "*.log"}, {"すべてのファイル(*)", "*"}};

struct Entry {
    std::string raw;
    QString shown;
    bool folder;
};

struct Listing {
    std::vector<Entry> entries;
    int error = 0;  // errno of a folder that could not be read, else 0
};

// True when the name is not UTF-8, so that it is shown decoded as cp932.
bool ShownAsCp932(const std::string& name) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // decode() converts only when its result is taken as a string.
    [[maybe_unused]] const QString decoded =
        utf8.decode(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
    return utf8.hasError();
}

// The name's bytes in hex, to tell apart names that even decoded show alike.
QString HexBytes(const std::string& name) {
    return QString::fromLatin1(QByteArray::fromStdString(name).toHex(' ').toUpper());
}

// Entries whose names show alike (a UTF-8 name and a cp932 one of the same text, say) get
// a mark on each cp932 row, with the bytes when several cp932 names show alike.
void MarkNamesShownAlike(std::vector<Entry>& entries) {
    std::map<QString, std::vector<size_t>> byShown;
    for (size_t i = 0; i < entries.size(); ++i) {
        byShown[entries[i].shown].push_back(i);
    }
    for (const auto& [shown, rows] : byShown) {
        if (rows.size() < 2) {
            continue;
        }
        size_t cp932Rows = 0;
        for (const size_t row : rows) {
            cp932Rows += ShownAsCp932(entries[row].raw) ? 1 : 0;
        }
        for (const size_t row : rows) {
            Entry& entry = entries[row];
            if (!ShownAsCp932(entry.raw)) {
                continue;
            }
            entry.shown += cp932Rows > 1 ? QStringLiteral("　（Shift_JIS %1）").arg(HexBytes(entry.raw))
                                         : QStringLiteral("　（Shift_JIS）");
        }
    }
}

// The entries of a folder, folders first, each group in the order of the shown names.
// Hidden entries (a leading dot) are left out, as file dialogs do.
Listing ListFolder(const std::string& folder, const char* pattern) {
    Listing listing;
    std::vector<Entry>& entries = listing.entries;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        listing.error = errno;
        return listing;
    }
    while (const dirent* item = ::readdir(dir)) {
        const std::string name = item->d_name;
        if (name.empty() || name[0] == '.') {
            continue;
        }
        struct stat info {};
        std::string path = folder;
        if (folder != "/") {
            path += '/';
        }
        path += name;
        const bool isFolder = ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        if (!isFolder && ::fnmatch(pattern, name.c_str(), 0) != 0) {
            continue;
        }
        entries.push_back({name, PathToQString(name), isFolder});
    }
    ::closedir(dir);
    MarkNamesShownAlike(entries);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.folder != b.folder) {
            return a.folder;
        }
        const int order = a.shown.compare(b.shown, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.shown < b.shown;
    });
    return listing;
}

// Why the folder shows no list, in one sentence.
QString FolderErrorText(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return QStringLiteral("このフォルダーの中を見る権限がないため、ファイルを一覧できません。");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("このフォルダーは見つかりません。");
        default:
            return QStringLiteral("このフォルダーの中を読めないため、ファイルを一覧できません。");
    }
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Qt's own texts of its file dialog, in the language of the installed translation.
QString FileDialogText(const char* text) { return QCoreApplication::translate("QFileDialog", text); }

}  // namespace

CLogFileDialog::CLogFileDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(FileDialogText("Open"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);
    resize(560, 380);

    m_folderBox = new QLineEdit(this);
    m_upButton = new QToolButton(this);
    m_upButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    m_upButton->setToolTip(FileDialogText("Parent Directory"));
    m_list = new QListWidget(this);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_folderMessage = new QLabel(this);
    m_folderMessage->setWordWrap(true);
    m_folderMessage->setVisible(false);
    m_nameBox = new QLineEdit(this);
    m_filterBox = new QComboBox(this);
    for (const FileType& type : kFileTypes) {
        m_filterBox->addItem(QString::fromUtf8(type.label));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, Qt::Vertical, this);
    m_openButton = buttons->button(QDialogButtonBox::Open);
    m_openButton->setDefault(true);

    auto* lookIn = new QLabel(FileDialogText("Look in:"), this);
    auto* fileName = new QLabel(FileDialogText("File &name:"), this);
    fileName->setBuddy(m_nameBox);
    auto* fileType = new QLabel(FileDialogText("Files of type:"), this);
    fileType->setBuddy(m_filterBox);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lookIn, 0, 0);
    grid->addWidget(m_folderBox, 0, 1);
    grid->addWidget(m_upButton, 0, 2);
    grid->addWidget(m_list, 1, 0, 1, 3);
    grid->addWidget(m_folderMessage, 2, 0, 1, 3);
    grid->addWidget(fileName, 3, 0);
    grid->addWidget(m_nameBox, 3, 1);
    grid->addWidget(fileType, 4, 0);
    grid->addWidget(m_filterBox, 4, 1);
    grid->addWidget(buttons, 3, 2, 2, 1);

    connect(buttons, &QDialogButtonBox::accepted, this, &CLogFileDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_upButton, &QToolButton::clicked, this, &CLogFileDialog::GoUp);
    connect(m_folderBox, &QLineEdit::returnPressed, this, &CLogFileDialog::OnFolderTyped);
    connect(m_list, &QListWidget::itemActivated, this, &CLogFileDialog::OnItemActivated);
    connect(m_list, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item, QListWidgetItem*) { OnCurrentItemChanged(item); });
    connect(m_filterBox, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    m_nameBox->setFocus();
}

QStringList CLogFileDialog::NameFilters() const {
    QStringList filters;
    for (int i = 0; i < m_filterBox->count(); ++i) {
        filters << m_filterBox->itemText(i);
    }
    return filters;
}

QString CLogFileDialog::SelectedNameFilter() const { return m_filterBox->currentText(); }

void CLogFileDialog::SelectNameFilter(int index) { m_filterBox->setCurrentIndex(index); }

void CLogFileDialog::SetFolder(const std::string& folder) {
    m_folder = folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
    m_folderBox->setText(PathToQString(m_folder));
    Refresh();
}

void CLogFileDialog::SelectFile(const std::string& name) {
    m_nameBox->setText(PathToQString(name));
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->data(kRawNameRole).toByteArray().toStdString() == name) {
            m_list->setCurrentRow(row);
            break;
        }
    }
}

void CLogFileDialog::Refresh() {
    m_list->clear();
    const int type = std::max(0, m_filterBox->currentIndex());
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    const Listing listing = ListFolder(m_folder, kFileTypes[type].pattern);
    for (const Entry& entry : listing.entries) {
        auto* item = new QListWidgetItem(entry.folder ? folderIcon : fileIcon, entry.shown, m_list);
        item->setData(kRawNameRole, QByteArray::fromStdString(entry.raw));
        item->setData(kIsFolderRole, entry.folder);
    }
    // An empty list must not hide that the folder could not be read.
    m_folderMessage->setText(listing.error != 0 ? FolderErrorText(listing.error) : QString());
    m_folderMessage->setVisible(listing.error != 0);
}

void CLogFileDialog::OnItemActivated(QListWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    const std::string name = item->data(kRawNameRole).toByteArray().toStdString();
    if (item->data(kIsFolderRole).toBool()) {
        m_nameBox->clear();
        SetFolder(PathOf(name));
    } else {
        m_nameBox->setText(item->text());
        accept();
    }
}

void CLogFileDialog::OnCurrentItemChanged(QListWidgetItem* item) {
    if (item != nullptr && !item->data(kIsFolderRole).toBool()) {
        m_nameBox->setText(item->text());
    }
}

void CLogFileDialog::OnFolderTyped() {
    const std::string folder = m_folderBox->text().toStdString();
    if (IsFolder(folder)) {
        SetFolder(folder);
    } else {
        m_folderBox->setText(PathToQString(m_folder));
    }
}

void CLogFileDialog::GoUp() {
    const size_t slash = m_folder.find_last_of('/');
    if (slash == std::string::npos) {
        return;
    }
    SetFolder(slash == 0 ? std::string("/") : m_folder.substr(0, slash));
}

std::string CLogFileDialog::TypedName() const {
    const QString text = m_nameBox->text();
    // The row the user chose stands for its own file, also when another row shows alike.
    if (const QListWidgetItem* current = m_list->currentItem(); current != nullptr && current->text() == text) {
        return current->data(kRawNameRole).toByteArray().toStdString();
    }
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->text() == text) {
            return m_list->item(row)->data(kRawNameRole).toByteArray().toStdString();
        }
    }
    return text.toStdString();
}

std::string CLogFileDialog::PathOf(const std::string& name) const {
    if (!name.empty() && name[0] == '/') {
        return name;
    }
    return (m_folder == "/" ? m_folder : m_folder + "/") + name;
}

void CLogFileDialog::accept() {
    if (m_nameBox->text().isEmpty()) {
        if (QListWidgetItem* item = m_list->currentItem(); item != nullptr && item->data(kIsFolderRole).toBool()) {
            OnItemActivated(item);
        }
        return;
    }
    const std::string path = PathOf(TypedName());
    if (IsFolder(path)) {
        m_nameBox->clear();
        SetFolder(path);
        return;
    }
    m_selected = path;
    QDialog::accept();
}

std::string CLogFileDialog::ChosenFolder() const {
    if (m_selected) {
        const size_t slash = m_selected->find_last_of('/');
        if (slash != std::string::npos) {
            std::string folder = slash == 0 ? std::string("/") : m_selected->substr(0, slash);
            if (IsFolder(folder)) {
                return folder;
            }
        }
    }
    return m_folder;
}

}  // namespace quorlet3
