#pragma once

#include <QDialog>

// Help > "About Marlwick...": the product name and how to use the program.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
