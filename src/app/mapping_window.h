#pragma once

#include "convert/bank_file.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace scrivane {

// How to read a bank's CSV or QIF file that Scrivane has not seen laid out like
// this before: the first rows as a table with the columns Scrivane found, the
// date order, the sign of the amounts, the account and its currency, all
// editable, and the transactions as the statement will carry them. Convert is
// open only while every row reads and nothing is left to answer; the answers
// then become the profile of the file's layout.
class MappingWindow : public QDialog
{
    Q_OBJECT

public:
    // start is what the file showed, over any stored profile and answers given.
    MappingWindow(const BankFile& file, const Mapping& start, const QString& fileName, QWidget* parent = nullptr);

    // What the controls say, whole: every part of it given.
    Mapping mapping() const;

private:
    void buildControls();
    void showFileRows();
    void setControls(const Mapping& mapping);
    // Reads the file as the controls say and shows the rows or why not.
    void refresh();

    const BankFile& file_;
    std::array<QComboBox*, std::size(allColumnRoles)> columns_ {};
    QTableWidget* fileRows_ = nullptr;
    QComboBox* dateOrder_ = nullptr;
    QCheckBox* reversed_ = nullptr;
    QLineEdit* accountId_ = nullptr;
    QComboBox* accountType_ = nullptr;
    QLineEdit* currency_ = nullptr;
    QLabel* problem_ = nullptr;
    QTableWidget* preview_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QPushButton* convert_ = nullptr;
};

} // namespace scrivane
