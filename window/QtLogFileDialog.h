// The open-file dialog for a log. It lists a folder through the file system's own bytes,
// so names that are not UTF-8 (cp932 names copied from Windows) are listed, shown
// readably and handed back exactly as the file system spells them.
#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QToolButton;

namespace quorlet3 {

class CLogFileDialog : public QDialog {
    Q_OBJECT
public:
    explicit CLogFileDialog(QWidget* parent = nullptr);

    // The choices of the file-type box: "*.log" first (selected at start), then all files.
    QStringList NameFilters() const;
    QString SelectedNameFilter() const;
    void SelectNameFilter(int index);

    // Shows that folder (bytes as the file system spells them). A folder that cannot be
    // read lists nothing and says why below the list.
    void SetFolder(const std::string& folder);
    const std::string& Folder() const { return m_folder; }

    // Puts the name of that file (a name in the folder shown) into the file-name box and
    // marks it in the list.
    void SelectFile(const std::string& name);

    // The chosen path after Open. A typed name of a file that does not exist is taken too;
    // loading it then reports the error.
    const std::optional<std::string>& SelectedFile() const { return m_selected; }

    // The folder of the chosen file (also of a full path typed into the name box) when it
    // exists, else the folder shown: where the next choice should start.
    std::string ChosenFolder() const;

    QListWidget* FileList() const { return m_list; }
    // The sentence below the list when the folder could not be read (hidden otherwise).
    QLabel* FolderMessage() const { return m_folderMessage; }
    QLineEdit* NameBox() const { return m_nameBox; }
    QLineEdit* FolderBox() const { return m_folderBox; }
    QComboBox* FilterBox() const { return m_filterBox; }
    QPushButton* OpenButton() const { return m_openButton; }

    // Open (also Enter): a folder named in the file-name box is entered; a file ends the
    // dialog with Accepted.
    void accept() override;

private:
    void Refresh();
    void OnItemActivated(QListWidgetItem* item);
    void OnCurrentItemChanged(QListWidgetItem* item);
    void OnFolderTyped();
    void GoUp();
    // The bytes of the name in the file-name box: the chosen row when it shows that text,
    // else the first listed entry shown with it, else the text as UTF-8.
    std::string TypedName() const;
    std::string PathOf(const std::string& name) const;

    std::string m_folder;
    std::optional<std::string> m_selected;
    QLineEdit* m_folderBox = nullptr;
    QToolButton* m_upButton = nullptr;
    QListWidget* m_list = nullptr;
    QLabel* m_folderMessage = nullptr;
    QLineEdit* m_nameBox = nullptr;
    QComboBox* m_filterBox = nullptr;
    QPushButton* m_openButton = nullptr;
};

}  // namespace quorlet3
