// The share dialog: two pie charts of the browser share with swatches and legends.
#pragma once

#include <string>

#include "platform/QtDialogFrame.h"
#include "share/ShareCounters.h"

class QPushButton;
class QTextEdit;

namespace quorlet3 {

class CShareDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CShareDlg(QWidget* parent = nullptr);

    ShareCounters m_nShare{};        // filled by the creator before the dialog is shown
    std::string m_strVersionLegend;  // cp932, rebuilt on every paint
    std::string m_strFamilyLegend;   // cp932, rebuilt on every paint

    QTextEdit* VersionLegendBox() const { return m_versionLegendBox; }  // control 1002
    QTextEdit* FamilyLegendBox() const { return m_familyLegendBox; }    // control 1004
    QPushButton* OkButton() const { return m_okButton; }

protected:
    void paintEvent(QPaintEvent* event) override;  // OnPaint

private:
    void OnPaint();
    // Shows both legend strings in their edits (the legends are never read back).
    void UpdateData();

    QTextEdit* m_versionLegendBox = nullptr;  // control 1002
    QTextEdit* m_familyLegendBox = nullptr;   // control 1004
    QPushButton* m_okButton = nullptr;
};

}  // namespace quorlet3
