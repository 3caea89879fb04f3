// One widget per row, in table order; once every row is built, the Tab chain its table gives.
#include "window_builder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>
#include <algorithm>
#include <unordered_map>

#include "caption_frame.h"
#include "deferred_widgets.h"
#include "display_label.h"
#include "hidden_field.h"
#include "keyboard_focus.h"
#include "look.h"
#include "picture_label.h"
#include "qt_text.h"

namespace freqsmith {
namespace {

QWidget* makeTabs(QWidget* parent) {
  auto* tabs = new QTabWidget(parent);
  tabs->setUsesScrollButtons(false);
  tabs->tabBar()->setExpanding(true);
  return tabs;
}

QWidget* makeField(const Control& row, QWidget* parent) {
  if (row.role == FieldRole::Notes) {
    auto* notes = new NotesView(toQString(row.text), parent);
    notes->setReadOnly(true);
    notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Reached by Tab like any field, it scrolls with the arrow and page keys, and Tab goes
    // on to the next control.
    notes->setFocusPolicy(Qt::StrongFocus);
    notes->setTabChangesFocus(true);
    return notes;
  }
  if (row.role == FieldRole::Hidden) return new HiddenField(toQString(row.text), parent);
  auto* edit = new QLineEdit(toQString(row.text), parent);
  edit->setAlignment(Qt::AlignCenter);
  const bool typed = row.role == FieldRole::Input || row.role == FieldRole::Tunable;
  edit->setReadOnly(!typed);
  if (!typed) showTextFromStart(edit);
  // Only typed fields carry the widget's own limit: it refuses keys and cuts pastes. The
  // program's writes are cut by the form, which keeps every digit before the point.
  if (typed && row.maxLength > 0) edit->setMaxLength(row.maxLength);
  return edit;
}

QWidget* makeLabel(const Control& row, QWidget* parent) {
  const bool figure = row.look == Look::Display18 || row.look == Look::Display24;
  QLabel* label = figure ? new DisplayLabel(toQString(row.text), row.look, parent)
                         : new QLabel(toQString(row.text), parent);
  label->setTextFormat(Qt::PlainText);
  switch (row.look) {
    case Look::Heading:
    case Look::Centered:
    case Look::Banner:
    case Look::Explanation:
    case Look::Display18:
    case Look::Display24:
    case Look::IntakeRow:
    case Look::ExhaustRow:
    case Look::Note:
      label->setAlignment(Qt::AlignCenter);
      break;
    case Look::SmallTop:
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      break;
    default:
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      break;
  }
  return label;
}

// The control's place, cut to its container where it runs past the container's edge, as
// the window system cuts it anyway: centred text is then centred in what is seen. (The
// explanation line runs 5 pixels past the bottom of the window and lost the descenders
// of its text to it.)
QRect placeWithin(const Control& row, const QWidget* parent) {
  const QRect place = pixelRect(row.place);
  const QRect seen = place & parent->rect();
  return seen.isEmpty() ? place : seen;
}

Artwork artworkOf(std::span<const PictureSource> pictures, std::string_view name) {
  for (const PictureSource& picture : pictures) {
    if (picture.name == name) return picture.artwork;
  }
  return {};
}

QWidget* makeButton(const Control& row, const Artwork& artwork, QWidget* parent) {
  if (artwork.resource)
    return new PictureButton(toQString(row.text), artwork.resource, artwork.size, parent);
  return new QPushButton(toQString(row.text), parent);
}

QWidget* makeWidget(const Control& row, std::span<const PictureSource> pictures, QWidget* parent) {
  switch (row.kind) {
    case ControlKind::Tabs:
      return makeTabs(parent);
    case ControlKind::TabPage: {
      auto* page = new QWidget;
      // A page belongs under a tab widget; listed under another container, it stays a plain
      // child of that container rather than being lost.
      if (auto* tabs = qobject_cast<QTabWidget*>(parent))
        tabs->addTab(page, toQString(row.text));
      else
        page->setParent(parent);
      return page;
    }
    case ControlKind::Frame:
      return new CaptionFrame(toQString(row.text), parent);
    case ControlKind::Label:
      return makeLabel(row, parent);
    case ControlKind::Field:
      return makeField(row, parent);
    case ControlKind::Box:
      return new QCheckBox(toQString(row.text), parent);
    case ControlKind::Button:
      return makeButton(row, artworkOf(pictures, row.name), parent);
    case ControlKind::Picture:
      return new PictureLabel(artworkOf(pictures, row.name), parent);
    case ControlKind::Window:
      break;
  }
  return nullptr;
}

}  // namespace

void prepareWindow(std::span<const Control> table, QWidget* window,
                   std::vector<QWidget*>& widgets) {
  widgets.assign(table.size(), nullptr);
  widgets[0] = window;
  window->setObjectName(toQString(table[0].name));
  // Before the first control, so that each takes the window's palette and font as it is made.
  adoptWindowLook(window);
  window->setFixedSize(pixelRect(table[0].place).size());
}

void buildControls(std::span<const Control> table, std::span<const PictureSource> pictures,
                   std::vector<QWidget*>& widgets,
                   const std::function<bool(std::size_t row)>& select) {
  QWidget* window = widgets[0];
  std::unordered_map<std::string_view, std::size_t> rowOf;
  rowOf.reserve(table.size());
  for (std::size_t i = 0; i < table.size(); ++i) rowOf.emplace(table[i].name, i);

  for (std::size_t i = 1; i < table.size(); ++i) {
    if (widgets[i] || !select(i)) continue;
    const Control& row = table[i];
    QWidget* parent = widgets[rowOf.at(row.parent)];
    QWidget* widget = makeWidget(row, pictures, parent);
    widget->setObjectName(toQString(row.name));
    if (row.kind != ControlKind::TabPage) widget->setGeometry(placeWithin(row, parent));
    // A control placed beyond the window's edge is never seen; hidden, it costs nothing.
    if (parent == window && row.place.left >= table[0].place.width) widget->setVisible(false);
    if (!row.title.empty()) widget->setAccessibleName(toQString(row.title));
    if (!row.tooltip.empty()) widget->setToolTip(toQString(row.tooltip));
    applyLook(widget, row);
    // The large figures show detected values later, in a box of their own measure.
    const bool figure = row.look == Look::Display18 || row.look == Look::Display24;
    if (row.kind == ControlKind::Label && !figure && !row.text.empty()) {
      if (auto* label = qobject_cast<QLabel*>(widget)) fitCaptionToWidth(label);
    }
    widgets[i] = widget;
  }
  const bool whole =
      std::all_of(widgets.begin() + 1, widgets.end(), [](QWidget* w) { return w != nullptr; });
  if (whole) orderKeyboardFocus(table, widgets);
}

std::vector<QWidget*> buildControls(std::span<const Control> table, QWidget* window,
                                    std::span<const PictureSource> pictures) {
  std::vector<QWidget*> widgets;
  prepareWindow(table, window, widgets);
  buildControls(table, pictures, widgets, [](std::size_t) { return true; });
  return widgets;
}

}  // namespace freqsmith
