// The share dialog: two pie charts of the browser share with swatches and legends.
#pragma once

#include <QDialog>
#include <string>

#include "logstore/Quorlet3Doc.h"

class QLineEdit;
class QPlainTextEdit;

namespace quorlet3 {

class CShareDlg : public QDialog {
    Q_OBJECT
public:
    explicit CShareDlg(QWidget* parent = nullptr);

    // Runs the dialog modally; returns QDialog::Accepted or Rejected.
    int DoModal() { return exec(); }

    ShareCounters m_nShare{};        // filled by the creator before the dialog is shown
    std::string m_strVersionLegend;  // cp932, rebuilt on every paint
    std::string m_strFamilyLegend;   // cp932, rebuilt on every paint

protected:
    void paintEvent(QPaintEvent* event) override;  // OnPaint

private:
    void OnPaint();
    void UpdateData(bool saveAndValidate);

    QPlainTextEdit* m_versionLegendBox = nullptr;  // control 1002
    QPlainTextEdit* m_familyLegendBox = nullptr;   // control 1004
};

}  // namespace quorlet3
