// The log file dialog: a folder list read with readdir, so every name the file system
// holds can be chosen, whatever its encoding.
#include "platform/QtLogFileDialog.h"

#include <dirent.h>
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
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <vector>

#include "platform/QtText.h"

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

// The entries of a folder, folders first, each group in the order of the shown names.
// Hidden entries (a leading dot) are left out, as file dialogs do.
std::vector<Entry> ListFolder(const std::string& folder, const char* pattern) {
    std::vector<Entry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return entries;
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
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.folder != b.folder) {
            return a.folder;
        }
        const int order = a.shown.compare(b.shown, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.shown < b.shown;
    });
    return entries;
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
    grid->addWidget(fileName, 2, 0);
    grid->addWidget(m_nameBox, 2, 1);
    grid->addWidget(fileType, 3, 0);
    grid->addWidget(m_filterBox, 3, 1);
    grid->addWidget(buttons, 2, 2, 2, 1);

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
    for (const Entry& entry : ListFolder(m_folder, kFileTypes[type].pattern)) {
        auto* item = new QListWidgetItem(entry.folder ? folderIcon : fileIcon, entry.shown, m_list);
        item->setData(kRawNameRole, QByteArray::fromStdString(entry.raw));
        item->setData(kIsFolderRole, entry.folder);
    }
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

}  // namespace quorlet3
