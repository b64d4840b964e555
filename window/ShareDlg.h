// The share dialog: two pie charts of the browser share with swatches and legends.
#pragma once

#include <QDialog>
#include <string>

#include "share/ShareCounters.h"
#include "share/ShareDrawing.h"

class QPushButton;
class QTextEdit;

namespace quorlet3 {

class CShareDlg : public QDialog {
    Q_OBJECT
public:
    explicit CShareDlg(QWidget* parent = nullptr);

    // Takes the creator's copy of the eight share counters before the dialog is shown,
    // and computes from them at once the pies, the swatches and both legends (shown in
    // their edits); painting only draws what was computed here. A total of 0 leaves
    // everything empty.
    void SetShare(const ShareCounters& counters);
    const ShareCounters& Share() const { return m_nShare; }

    // The legends of the counters set (cp932, CR LF line ends), as their edits show them.
    const std::string& VersionLegend() const { return m_strVersionLegend; }
    const std::string& FamilyLegend() const { return m_strFamilyLegend; }

    QTextEdit* VersionLegendBox() const { return m_versionLegendBox; }  // control 1002
    QTextEdit* FamilyLegendBox() const { return m_familyLegendBox; }    // control 1004
    QPushButton* OkButton() const { return m_okButton; }

protected:
    void paintEvent(QPaintEvent* event) override;  // OnPaint

private:
    void OnPaint();
    // Shows both legend strings in their edits (the legends are never read back).
    void ShowLegends();

    ShareCounters m_nShare{};
    std::string m_strVersionLegend;           // cp932, set with the counters
    std::string m_strFamilyLegend;            // cp932, set with the counters
    ShareDrawing m_drawing;                   // of m_nShare; empty while its total is 0
    QTextEdit* m_versionLegendBox = nullptr;  // control 1002
    QTextEdit* m_familyLegendBox = nullptr;   // control 1004
    QPushButton* m_okButton = nullptr;
};

}  // namespace quorlet3
