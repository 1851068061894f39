#include "text_lines_view.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStyledItemDelegate>

#include <algorithm>

namespace scrivane {

namespace {

// Where a plain text box ends a line: U+FDD0 and U+FDD1 too, which it takes for
// the edges of a frame.
bool endsLine(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029' || c == u'\uFDD0' || c == u'\uFDD1';
}

// Every line is as wide as the widest and as high as one line of text, so the
// view places a line by arithmetic and never asks for the size of one. Only the
// lines longest in characters are measured: with a hundred thousand lines,
// measuring each would cost more than all the rest of showing them.
class UniformLineDelegate : public QStyledItemDelegate
{
public:
    UniformLineDelegate(const TextLinesModel& lines, QObject* parent)
        : QStyledItemDelegate(parent)
        , lines_(lines)
    {
    }

    void forget() { size_ = {}; }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (size_.isValid())
            return size_;
        size_ = QStyledItemDelegate::sizeHint(option, index);
        for (int row : lines_.longestLines(64))
            size_.setWidth(std::max(size_.width(), QStyledItemDelegate::sizeHint(option, lines_.index(row)).width()));
        return size_;
    }

private:
    const TextLinesModel& lines_;
    mutable QSize size_;
};

} // namespace

void TextLinesModel::setText(const QString& text)
{
    beginResetModel();
    text_ = text;
    starts_.clear();
    ends_.clear();
    const char16_t* chars = reinterpret_cast<const char16_t*>(text_.constData());
    const qsizetype size = text_.size();
    if (size > 0)
        starts_.push_back(0);
    for (qsizetype i = 0; i < size; ++i) {
        if (!endsLine(chars[i]))
            continue;
        ends_.push_back(i);
        if (chars[i] == u'\r' && i + 1 < size && chars[i + 1] == u'\n')
            ++i;
        starts_.push_back(i + 1);
    }
    if (size > 0)
        ends_.push_back(size);
    endResetModel();
}

QString TextLinesModel::line(int row) const
{
    const auto r = static_cast<std::size_t>(row);
    return text_.mid(starts_[r], ends_[r] - starts_[r]);
}

std::vector<int> TextLinesModel::longestLines(int count) const
{
    std::vector<int> rows(starts_.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r] = static_cast<int>(r);
    auto length = [this](int row) { return ends_[std::size_t(row)] - starts_[std::size_t(row)]; };
    const auto keep = std::min<std::size_t>(rows.size(), static_cast<std::size_t>(count));
    std::partial_sort(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(keep), rows.end(), [&](int a, int b) {
        return length(a) > length(b);
    });
    rows.resize(keep);
    return rows;
}

int TextLinesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(starts_.size());
}

QVariant TextLinesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return line(index.row());
    return {};
}

Qt::ItemFlags TextLinesModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

TextLinesView::TextLinesView(QWidget* parent)
    : QListView(parent)
    , model_(this)
{
    setModel(&model_);
    setItemDelegate(new UniformLineDelegate(model_, this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab goes on to the next control, as from any other box.
    setTabKeyNavigation(false);

    auto* copyAction = new QAction(tr("&Copy"), this);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WidgetShortcut);
    connect(copyAction, &QAction::triggered, this, &TextLinesView::copy);
    auto* selectAllAction = new QAction(tr("Select &All"), this);
    selectAllAction->setShortcut(QKeySequence::SelectAll);
    selectAllAction->setShortcutContext(Qt::WidgetShortcut);
    connect(selectAllAction, &QAction::triggered, this, &QAbstractItemView::selectAll);
    addAction(copyAction);
    addAction(selectAllAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TextLinesView::setText(const QString& text)
{
    static_cast<UniformLineDelegate*>(itemDelegate())->forget();
    model_.setText(text);
    scrollToTop();
    // Where a text box puts its cursor: on the first line, nothing selected.
    if (model_.rowCount() > 0)
        selectionModel()->setCurrentIndex(model_.index(0), QItemSelectionModel::NoUpdate);
}

QString TextLinesView::selectedText() const
{
    // Ranges come in the order they were selected and may overlap: mark the rows,
    // then take them in order.
    std::vector<bool> selected(static_cast<std::size_t>(model_.rowCount()));
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            selected[static_cast<std::size_t>(row)] = true;
    }
    QString text;
    bool first = true;
    for (std::size_t row = 0; row < selected.size(); ++row) {
        if (!selected[row])
            continue;
        if (!first)
            text += u'\n';
        first = false;
        text += model_.line(static_cast<int>(row));
    }
    // A text box copies a no-break space as a plain one.
    return text.replace(QChar::Nbsp, u' ');
}

void TextLinesView::copy() const
{
    if (selectionModel()->hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void TextLinesView::keyPressEvent(QKeyEvent* event)
{
    // The list's own Ctrl+C copies the current line alone, selected or not.
    if (event == QKeySequence::Copy) {
        copy();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace scrivane
