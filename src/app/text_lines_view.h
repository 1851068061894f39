#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QString>

#include <vector>

namespace scrivane {

// A text cut into its lines where a plain text box would break it: at CR LF, at
// a carriage return or a line feed standing alone, and at the Unicode line and
// paragraph separators. The text is held once; a line is made only when asked for.
class TextLinesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces every line. An empty text has no lines.
    void setText(const QString& text);

    QString line(int row) const;
    // The longest lines by their number of characters, longest first, at most count.
    std::vector<int> longestLines(int count) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString text_;
    std::vector<qsizetype> starts_; // where each line starts in text_
    std::vector<qsizetype> ends_; // and where it ends, before its line break
};

// A read-only list of lines that lays out only the lines on screen, so that a
// hundred thousand lines open as fast as a hundred. It behaves as a read-only text
// box for reading and copying: select with the mouse or with Shift and the arrow,
// Page and Home/End keys, select all (Ctrl+A or the context menu), and copy (Ctrl+C
// or the context menu) the selected lines as text, one line each.
class TextLinesView : public QListView
{
    Q_OBJECT

public:
    explicit TextLinesView(QWidget* parent = nullptr);

    void setText(const QString& text);
    const TextLinesModel& lines() const { return model_; }

    // The selected lines in their order, joined by line feeds.
    QString selectedText() const;
    void copy() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TextLinesModel model_;
};

} // namespace scrivane
