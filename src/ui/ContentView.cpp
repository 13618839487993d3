// The main view: path fields, tabs, the comparison's triggers, switching, undo, finding and saving.
#include "ui/ContentView.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "merge/Switch.h"
#include "model/KeyPath.h"
#include "plist/Loading.h"
#include "plist/Quoted.h"
#include "plist/Saving.h"
#include "ui/FindBar.h"
#include "ui/ItemView.h"
#include "ui/OperationStyle.h"
#include "ui/PathField.h"

namespace carryover::ui {

namespace {

constexpr int tabCount = 4;
constexpr int recentCount = 8;
const QString recentKey = QStringLiteral("Recent");

int slot(Tab tab) {
    return static_cast<int>(tab);
}

Tab tabOf(Side side) {
    return side == Side::Config ? Tab::Config : Tab::Sample;
}

ItemPtr emptyTree() {
    return makeNode("", "", ItemDataType::None);
}

QString fromStd(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A copy of `root`'s tree in an arena of its own, sharing its texts.
ItemPtr copied(const ItemPtr& root) {
    auto arena = std::make_shared<Arena>();
    arena->hold(root);
    Item* copy = root->copy(*arena, nullptr);
    return ownedBy(std::move(arena), copy);
}

// The busy cursor for the life of a scope.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(BusyCursor)
};

// One line on standard output, as diagnostics are written.
void diagnostic(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// A message next to the window that does not stop the application.
void tell(QWidget* parent, const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// Nodes of a differences tree whose switch a change flips, each with its place among the tree's flags:
// pre-order, root first.
using Flips = std::vector<std::pair<size_t, Item*>>;

// One step of the undo stack: the switches a change flipped; undoing and redoing flip them again.
class SwitchCommand : public QUndoCommand {
  public:
    SwitchCommand(std::function<void(const Flips&)> flip, Flips flips, const QString& text)
        : QUndoCommand(text), flip_(std::move(flip)), flips_(std::move(flips)) {}
    void undo() override { flip_(flips_); }
    void redo() override { flip_(flips_); }

  private:
    std::function<void(const Flips&)> flip_;
    Flips flips_;
};

// The nodes of `root`'s tree whose switch differs from `state`, the tree's flags at some time.
Flips differing(Item& root, const SwitchState& state) {
    Flips flips;
    size_t at = 0;
    std::vector<Item*> stack{&root};
    while (!stack.empty() && at < state.size()) {
        Item* node = stack.back();
        stack.pop_back();
        if (node->enabled != state[at]) flips.push_back({at, node});
        ++at;
        for (size_t i = node->children.size(); i-- > 0;)
            stack.push_back(node->children[i]);
    }
    return flips;
}

// The nodes of `root`'s tree, in pre-order, whose name or value as shown holds `text`, or, when
// `text` holds a "/", whose key path does; letter case aside.
std::vector<const Item*> nodesHolding(const Item& root, const QString& text) {
    std::vector<const Item*> found;
    const bool byPath = text.contains(QLatin1Char('/'));
    std::vector<std::pair<const Item*, QString>> stack{{&root, QString()}};
    while (!stack.empty()) {
        auto [node, path] = std::move(stack.back());
        stack.pop_back();
        if (!node->data.hasPlistForm()) continue;
        if (displayName(*node).contains(text, Qt::CaseInsensitive) ||
            displayValue(*node).contains(text, Qt::CaseInsensitive) ||
            (byPath && path.contains(text, Qt::CaseInsensitive)))
            found.push_back(node);
        for (size_t i = node->children.size(); i-- > 0;) {
            const Item* child = node->children[i];
            stack.push_back({child, byPath ? (path.isEmpty() ? displayName(*child)
                                                             : path + QLatin1Char('/') + displayName(*child))
                                           : QString()});
        }
    }
    return found;
}

} // namespace

ContentView::ContentView(QWidget* parent) : QWidget(parent) {
    for (auto& tree : trees_)
        tree = emptyTree();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeFields());
    refusal_ = new QLabel(this);
    refusal_->setWordWrap(true);
    refusal_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    refusal_->setAccessibleName(tr("Refused file"));
    refusal_->hide();
    layout->addWidget(refusal_);
    layout->addWidget(makeChangedBar());
    layout->addWidget(makeTabs(), 1);
    layout->addWidget(makeFindBar());
    status_ = new QStatusBar(this);
    status_->setSizeGripEnabled(false);
    counts_ = new QLabel(status_);
    counts_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    counts_->setAccessibleName(tr("Differences per operation"));
    counts_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(counts_, &QLabel::linkActivated, this, [this](const QString& link) {
        const auto operation = static_cast<Operation>(link.toInt());
        ItemModel& lines = view(Tab::Difference).lines();
        if (lines.decisionsOnly()) {
            const Item* selected = view(Tab::Difference).selectedItem();
            lines.setOperationShown(operation, !lines.operationShown(operation));
            if (selected) view(Tab::Difference).selectNode(selected);
            showCounts();
            return;
        }
        // In the full view a count goes to the next line of its operation.
        selectTab(Tab::Difference);
        ItemView& differences = currentView();
        const int rows = differences.model()->rowCount();
        const QModelIndex at = differences.currentIndex();
        for (int step = 1; step <= rows; ++step) {
            const int row = ((at.isValid() ? at.row() : -1) + step) % rows;
            Item* node = lines.itemFor(lines.index(row, 0));
            if (node->operation == operation && hasSwitch(*node)) {
                differences.selectNode(node);
                return;
            }
        }
    });
    status_->addWidget(counts_, 1);
    layout->addWidget(status_);

    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &ContentView::fileChangedOnDisk);

    chooseSaveFile = [this] {
        QFileDialog dialog(this, tr("Save Result"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(tr("Property lists (*.plist)"));
        dialog.setDefaultSuffix(QStringLiteral("plist"));
        // Saving over the configuration is the common case.
        const QString start = savedPath_.isEmpty() ? path(Side::Config) : savedPath_;
        if (start != pathPrompt()) {
            dialog.setDirectory(QFileInfo(start).absolutePath());
            dialog.selectFile(QFileInfo(start).fileName());
        }
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseOpenFile = [this](Side side) {
        QString folder;
        for (Side known : {Side::Config, Side::Sample})
            if (folder.isEmpty() && path(known) != pathPrompt())
                folder = QFileInfo(path(known)).absolutePath();
        return QFileDialog::getOpenFileName(
            this, side == Side::Config ? tr("Open Config.plist") : tr("Open Sample Full.plist"), folder,
            tr("Property lists (*.plist)"));
    };
    askUnsaved = [this] {
        return QMessageBox::question(this, tr("Unsaved switches"),
                                     tr("The switches made since the last save are not saved. Save them?"),
                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                     QMessageBox::Save);
    };
    makeActions();
    setFocusProxy(configField_);
    QWidget::setTabOrder(configField_, sampleField_);
    QWidget::setTabOrder(sampleField_, tabs_->tabBar());
    showTrees();
    showCounts();
    showTitle();
}

QWidget* ContentView::makeFields() {
    auto* box = new QGroupBox(this);
    auto* row = new QHBoxLayout(box);
    auto* labels = new QVBoxLayout;
    auto* fields = new QVBoxLayout;
    const auto addField = [&](const QString& label, const QString& name, Side side) {
        auto* text = new QLabel(label, box);
        text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* field = new PathField(box);
        field->setAccessibleName(name);
        text->setBuddy(field);
        labels->addWidget(text);
        fields->addWidget(field);
        connect(field, &PathField::fileDropped, this,
                [this, side](const QString& path) { openFile(side, path); });
        connect(field, &PathField::clicked, this, [this, side] { chooseFile(side); });
        return field;
    };
    configField_ = addField(tr("Config.plist:"), tr("Config.plist"), Side::Config);
    labels->addSpacing(10);
    fields->addSpacing(10);
    sampleField_ = addField(tr("Sample Full.plist:"), tr("Sample Full.plist"), Side::Sample);
    row->addLayout(labels);
    row->addLayout(fields, 1);
    return box;
}

QWidget* ContentView::makeChangedBar() {
    changedBar_ = new QWidget(this);
    changedBar_->setAutoFillBackground(true);
    changedBar_->setBackgroundRole(QPalette::AlternateBase);
    auto* row = new QHBoxLayout(changedBar_);
    row->setContentsMargins(6, 2, 6, 2);
    changedText_ = new QLabel(changedBar_);
    changedText_->setAccessibleName(tr("Changed on disk"));
    changedText_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(changedText_, 1);
    auto* reloadButton = new QPushButton(tr("Reload"), changedBar_);
    connect(reloadButton, &QPushButton::clicked, this, &ContentView::reload);
    row->addWidget(reloadButton);
    changedBar_->hide();
    return changedBar_;
}

QWidget* ContentView::makeTabs() {
    tabs_ = new QTabWidget(this);
    const QString labels[tabCount] = {tr("Config"), tr("Full Sample"), tr("Differences"), tr("Result")};
    for (int i = 0; i < tabCount; ++i) {
        auto* view = new ItemView;
        views_[i] = view;
        view->setAccessibleName(labels[i]);
        QWidget* page = view;
        if (i == slot(Tab::Merged)) {
            // The Save button sits at the top right of the result, over the tree.
            page = new QWidget;
            auto* grid = new QGridLayout(page);
            grid->setContentsMargins(0, 0, 0, 0);
            grid->addWidget(view, 0, 0);
            auto* row = new QHBoxLayout;
            row->addStretch();
            saveButton_ = new QPushButton(tr("Save"), page);
            saveButton_->setAccessibleName(tr("Save the result"));
            saveButton_->setToolTip(tr("Save the result as a property list (Ctrl+S)"));
            row->addWidget(saveButton_);
            row->addSpacing(40);
            grid->addLayout(row, 0, 0, Qt::AlignTop);
            connect(saveButton_, &QPushButton::clicked, this, &ContentView::save);
            QWidget::setTabOrder(view, saveButton_);
        }
        page->setAccessibleName(labels[i]);
        tabs_->addTab(page, labels[i]);
        connect(view, &ItemView::switchRequested, this, &ContentView::switchNode);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { showContextMenu(view, at); });
    }
    connect(tabs_, &QTabWidget::currentChanged, this, &ContentView::tabChanged);
    return tabs_;
}

QWidget* ContentView::makeFindBar() {
    findBar_ = new FindBar(this);
    connect(findBar_, &FindBar::textChanged, this, [this](const QString& text) { find(text); });
    connect(findBar_, &FindBar::nextRequested, this, &ContentView::findNext);
    connect(findBar_, &FindBar::closed, this, [this] { currentView().setFocus(); });
    findBar_->hide();
    return findBar_;
}

void ContentView::makeActions() {
    const auto add = [this](QMenu* menu, const QString& text, const QKeySequence& keys, auto slot) {
        auto* action = new QAction(text, this);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        menu->addAction(action);
        return action;
    };
    auto* file = new QMenu(tr("&File"), this);
    add(file, tr("Open &Config…"), QKeySequence(Qt::CTRL | Qt::Key_O), [this] { chooseFile(Side::Config); });
    add(file, tr("Open &Sample…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
        [this] { chooseFile(Side::Sample); });
    recentMenu_ = file->addMenu(tr("Open &Recent"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &ContentView::fillRecentMenu);
    reloadAction_ = add(file, tr("&Reload"), QKeySequence(Qt::Key_F5), [this] { reload(); });
    file->addSeparator();
    // Both are enabled only while both files are loaded (showTitle).
    saveAction_ = add(file, tr("&Save"), QKeySequence::Save, [this] { save(); });
    saveAsAction_ =
        add(file, tr("Save &As…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { saveAs(); });
    file->addSeparator();
    auto* quit = add(file, tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { window()->close(); });
    quit->setMenuRole(QAction::QuitRole);

    auto* edit = new QMenu(tr("&Edit"), this);
    QAction* undo = undo_.createUndoAction(this, tr("&Undo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = undo_.createRedoAction(this, tr("&Redo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* action : {undo, redo}) {
        addAction(action);
        edit->addAction(action);
    }
    resetAction_ = add(edit, tr("Reset S&witches"), QKeySequence(), [this] { resetSwitches(); });
    edit->addSeparator();
    add(edit, tr("&Copy"), QKeySequence::Copy, [this] { copy(true, true); });
    add(edit, tr("Copy &Value"), QKeySequence(), [this] { copy(false, true); });
    add(edit, tr("Copy &Key Path"), QKeySequence(), [this] { copy(true, false); });
    edit->addSeparator();
    add(edit, tr("&Find…"), QKeySequence::Find, [this] { showFindBar(); });
    add(edit, tr("Find &Next"), QKeySequence(Qt::Key_F3), [this] { findNext(false); });
    add(edit, tr("Find &Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { findNext(true); });

    auto* viewMenu = new QMenu(tr("&View"), this);
    const QString tabNames[tabCount] = {tr("&Config"), tr("&Full Sample"), tr("&Differences"), tr("&Result")};
    for (int i = 0; i < tabCount; ++i)
        add(viewMenu, tabNames[i], QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + i)),
            [this, i] { selectTab(static_cast<Tab>(i)); });
    viewMenu->addSeparator();
    decisionsAction_ = add(viewMenu, tr("&Only Decisions"), QKeySequence(Qt::CTRL | Qt::Key_D),
                           [this](bool on) { setDecisionsOnly(on); });
    decisionsAction_->setCheckable(true);
    add(viewMenu, tr("&Next Decision"), QKeySequence(Qt::Key_F8),
        [this] { currentView().selectNextDecision(false); });
    add(viewMenu, tr("&Previous Decision"), QKeySequence(Qt::SHIFT | Qt::Key_F8),
        [this] { currentView().selectNextDecision(true); });

    auto* help = new QMenu(tr("&Help"), this);
    add(help, tr("&Keys"), QKeySequence::HelpContents, [this] { showKeys(); });
    add(help, tr("&About Carryover"), QKeySequence(), [this] {
        showAbout();
    })->setMenuRole(QAction::AboutRole);
    menus_ = {file, edit, viewMenu, help};
}

void ContentView::openFile(Side side, const QString& path) {
    QTimer::singleShot(0, this, [this, side, path] { load(side, path); });
}

void ContentView::chooseFile(Side side) {
    const QString path = chooseOpenFile(side);
    if (!path.isEmpty()) openFile(side, path);
}

void ContentView::reload() {
    if (!maySetWorkAside()) return;
    // Both files are compared afresh, whatever their content.
    nameSaved1_.clear();
    nameSaved2_.clear();
    for (Side side : {Side::Config, Side::Sample})
        if (path(side) != pathPrompt()) load(side, path(side), true);
}

void ContentView::load(Side side, const QString& path, bool asked) {
    const Tab tab = tabOf(side);
    BusyCursor busy;
    // The bytes are kept to read them again.
    Input input{path.toStdString(), {}, nullptr, counter_};
    LoadResult loaded{LoadStatus::Unreadable, nullptr, {}};
    if (QFileInfo(path).suffix() == QLatin1String("plist")) {
        FileBytes file = readFileBytes(input.name);
        input.text = file.bytes;
        input.bytes = file.owner;
        loaded = loadPlistFile(input.name, std::move(file), counter_);
    }
    ItemPtr root = loaded.loaded() ? std::move(loaded.root) : emptyTree();
    if (!loaded.loaded()) input = {};
    // Switches are lost when the comparison runs again or is emptied: the same file with the same
    // content keeps them.
    const Input& before = inputs_[slot(tab)];
    const bool comparesAgain = input.name != before.name || input.text != before.text;
    if (comparesAgain && !asked && !maySetWorkAside()) return;
    refusal_->hide();
    changedBar_->hide();
    if (!loaded.loaded()) {
        if (!loaded.message.empty()) {
            diagnostic(loaded.message + " (" + carryover::quoted(path.toStdString()) + ")");
            showRefusal(path, fromStd(loaded.message));
        } else {
            showRefusal(path, tr("only .plist files are taken"));
        }
        setFile(side, pathPrompt(), std::move(root), std::move(input));
        return;
    }
    setFile(side, path, std::move(root), std::move(input));
}

void ContentView::showRefusal(const QString& path, const QString& reason) {
    const QString text = tr("%1 was not loaded: %2").arg(QFileInfo(path).fileName(), reason);
    refusal_->setText(QStringLiteral("\u26A0 ") + text);
    refusal_->setToolTip(path);
    refusal_->show();
    status_->showMessage(text, 15000);
}

void ContentView::setFile(Side side, const QString& path, ItemPtr root, Input input) {
    const Tab tab = tabOf(side);
    // The same file with other content compares again.
    std::string& nameSaved = side == Side::Config ? nameSaved1_ : nameSaved2_;
    if (input.name == nameSaved && input.text != inputs_[slot(tab)].text) nameSaved.clear();
    (side == Side::Config ? configField_ : sampleField_)->setPath(path);
    trees_[slot(tab)] = std::move(root);
    inputs_[slot(tab)] = std::move(input);
    watchFiles();
    showTrees();
    showTitle();
    compareWhenChanged();
}

void ContentView::compareWhenChanged() {
    const bool changed =
        inputs_[slot(Tab::Config)].name != nameSaved1_ || inputs_[slot(Tab::Sample)].name != nameSaved2_;
    if (!changed || comparisonPosted_) return;
    comparisonPosted_ = true;
    QTimer::singleShot(0, this, [this] {
        if (comparisonPosted_) runComparison(); // a save may have run it already
    });
}

void ContentView::runComparison() {
    comparisonPosted_ = false;
    const std::string& config = inputs_[slot(Tab::Config)].name;
    const std::string& sample = inputs_[slot(Tab::Sample)].name;
    if (config.empty() || sample.empty()) {
        // Forget the names too, so that loading the same file again compares again.
        nameSaved1_.clear();
        nameSaved2_.clear();
        if (trees_[slot(Tab::Difference)]->type() != ItemDataType::None ||
            !trees_[slot(Tab::Difference)]->name.empty())
            setDifferences(emptyTree(), emptyTree(), {});
        return;
    }
    nameSaved1_ = config;
    nameSaved2_ = sample;
    BusyCursor busy;
    Comparison comparison = compareTaking(takeForComparison(Side::Config), takeForComparison(Side::Sample));
    setDifferences(std::move(comparison.differences), nullptr, comparison.counts);
    addRecent();
}

ItemPtr ContentView::readAgain(Side side) const {
    const Input& input = inputs_[slot(tabOf(side))];
    ContainerCounter numbering = input.numbering;
    return loadPlistBytes(input.name, input.text, input.bytes, numbering).root;
}

ItemPtr ContentView::takeForComparison(Side side) {
    ItemPtr& tree = trees_[slot(tabOf(side))];
    if (!tree) return readAgain(side);
    if (tree.use_count() == 1) return std::exchange(tree, nullptr);
    return copied(tree);
}

void ContentView::setDifferences(ItemPtr differences, ItemPtr result, OperationCounts counts) {
    trees_[slot(Tab::Difference)] = std::move(differences);
    if (result) trees_[slot(Tab::Merged)] = std::move(result);
    operationCounts_ = counts;
    resultStale_ = !result;
    decisions_.clear();
    std::vector<const Item*> stack{trees_[slot(Tab::Difference)].get()};
    while (!stack.empty()) {
        const Item* node = stack.back();
        stack.pop_back();
        if (hasSwitch(*node)) decisions_.push_back(node);
        stack.insert(stack.end(), node->children.begin(), node->children.end());
    }
    undo_.clear();
    defaults_ = switchState(*trees_[slot(Tab::Difference)]);
    switches_ = defaults_;
    saved_ = defaults_;
    modified_ = false;
    savedPath_.clear();
    showTrees();
    showCounts();
    showTitle();
    emit resultChanged();
}

void ContentView::switchNode(Item* node) {
    Item& differences = *trees_[slot(Tab::Difference)];
    if (!node) return;
    const QString text = (node->enabled ? tr("Switch Off %1") : tr("Switch On %1")).arg(displayName(*node));
    if (!carryover::switchNode(differences, *node)) return;
    Flips flips = differing(differences, switches_);
    // Back as they were: the step flips them when it is pushed.
    for (const auto& [at, flipped] : flips)
        flipped->enabled = !flipped->enabled;
    undo_.push(new SwitchCommand([this](const Flips& flips) { flip(flips); }, std::move(flips), text));
}

void ContentView::resetSwitches() {
    if (switches_ == defaults_) return;
    undo_.push(new SwitchCommand([this](const Flips& flips) { flip(flips); },
                                 differing(*trees_[slot(Tab::Difference)], defaults_), tr("Reset Switches")));
}

void ContentView::flip(const Flips& flips) {
    for (const auto& [at, node] : flips) {
        node->enabled = !node->enabled;
        switches_[at].flip();
    }
    view(Tab::Difference).lines().flagsChanged();
    modified_ = switches_ != saved_;
    // The result is derived anew when it is next needed.
    resultStale_ = true;
    if (selectedTab() == Tab::Merged) {
        const Item* selected = currentView().selectedItem();
        const std::string path = selected ? selected->path() : std::string();
        view(Tab::Merged).lines().setRoot(tree(Tab::Merged));
        if (selected) {
            const auto same = trees_[slot(Tab::Merged)]->getItems(path);
            if (!same.empty()) currentView().selectNode(same.front(), false);
        }
    }
    showCounts();
    showTitle();
    emit resultChanged();
}

bool ContentView::isModified() const {
    return modified_ && trees_[slot(Tab::Difference)]->type() == ItemDataType::FileName;
}

bool ContentView::maySetWorkAside() {
    if (!isModified()) return true;
    switch (askUnsaved()) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void ContentView::showTitle() {
    QStringList names;
    for (Side side : {Side::Config, Side::Sample})
        if (path(side) != pathPrompt()) names << QFileInfo(path(side)).fileName();
    const QString files = names.join(QStringLiteral(" \u2192 "));
    window()->setWindowTitle(files.isEmpty() ? tr("Carryover") : tr("%1[*] \u2014 Carryover").arg(files));
    window()->setWindowModified(isModified());
    const bool compared = trees_[slot(Tab::Difference)]->type() == ItemDataType::FileName;
    saveButton_->setEnabled(canSave());
    saveAction_->setEnabled(canSave());
    saveAsAction_->setEnabled(canSave());
    resetAction_->setEnabled(compared);
    reloadAction_->setEnabled(!names.isEmpty());
}

void ContentView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && counts_) showCounts();
}

void ContentView::closeEvent(QCloseEvent* event) {
    if (maySetWorkAside())
        event->accept();
    else
        event->ignore();
}

void ContentView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    showCounts();
}

void ContentView::showCounts() {
    const ItemPtr& differences = trees_[slot(Tab::Difference)];
    if (differences->type() != ItemDataType::FileName) {
        counts_->clear();
        return;
    }
    const size_t decisionsOn =
        std::count_if(decisions_.begin(), decisions_.end(), [](const Item* node) { return node->enabled; });
    const bool dark = isDark(palette());
    const ItemModel& lines = view(Tab::Difference).lines();
    const bool filters = lines.decisionsOnly();
    // The parts as shown, and as plain text to measure; what does not fit is left out behind "…".
    QStringList parts, plain;
    for (Operation operation : {Operation::None, Operation::Kill, Operation::Merged, Operation::Replacement,
                                Operation::Inserted, Operation::Unmatched}) {
        const QString mark =
            !filters || operation == Operation::None
                ? QString()
                : (lines.operationShown(operation) ? QStringLiteral("\u2611 ") : QStringLiteral("\u2610 "));
        const QString text =
            mark + QStringLiteral("%1 %2").arg(operationWord(operation)).arg(operationCounts_[operation]);
        const QString colored = QStringLiteral("<span style=\"color:%1\">%2</span>")
                                    .arg(operationColor(operation, dark).name(), text.toHtmlEscaped());
        parts << (operation == Operation::None
                      ? colored
                      : QStringLiteral("<a style=\"text-decoration:none\" href=\"%1\">%2</a>")
                            .arg(static_cast<int>(operation))
                            .arg(colored));
        plain << text;
    }
    const QString decisions = tr("Decisions %1, %2 on").arg(decisions_.size()).arg(decisionsOn);
    parts.prepend(decisions.toHtmlEscaped());
    plain.prepend(decisions);
    const QString separator = QStringLiteral(" \u00B7 ");
    const int room = counts_->width();
    const QFontMetrics metrics = counts_->fontMetrics();
    qsizetype shown = plain.size();
    while (shown > 1 && metrics.horizontalAdvance(plain.mid(0, shown).join(separator)) > room)
        --shown;
    QString text = parts.mid(0, shown).join(QStringLiteral(" &middot; "));
    if (shown < parts.size()) text += QStringLiteral(" &middot; \u2026");
    counts_->setText(text);
    counts_->setToolTip(plain.join(separator));
}

bool ContentView::save() {
    // Save is enabled once both files are loaded, which can be before the comparison they post has run.
    if (comparisonPosted_) runComparison();
    return savedPath_.isEmpty() ? saveAs() : saveTo(savedPath_);
}

bool ContentView::saveAs() {
    if (comparisonPosted_) runComparison();
    // The name as the dialog confirmed it, whatever its suffix: the dialog asked before replacing it.
    const QString target = chooseSaveFile();
    return !target.isEmpty() && saveTo(target);
}

bool ContentView::saveTo(const QString& target) {
    // Our own save is no change on disk to tell about.
    const bool watched = watcher_->files().contains(target);
    if (watched) watcher_->removePath(target);
    const SaveResult saved = savePlist(*tree(Tab::Merged), target.toStdString());
    if (watched) watcher_->addPath(target);
    if (!saved.saved()) {
        diagnostic("Error writing plist: " + saved.description() + " (" +
                   carryover::quoted(target.toStdString()) + ")");
        tell(this, tr("Not saved"),
             tr("%1 was not saved: %2.").arg(target, QString::fromStdString(saved.description())));
        return false;
    }
    saved_ = switches_;
    modified_ = false;
    savedPath_ = target;
    status_->showMessage(tr("Saved %1").arg(QFileInfo(target).fileName()), 5000);
    showTitle();
    return true;
}

bool ContentView::canSave() const {
    return configField_->path() != pathPrompt() && sampleField_->path() != pathPrompt();
}

void ContentView::watchFiles() {
    if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
    for (Side side : {Side::Config, Side::Sample})
        if (path(side) != pathPrompt() && !watcher_->files().contains(path(side)))
            watcher_->addPath(path(side));
}

void ContentView::fileChangedOnDisk(const QString& changed) {
    // An editor that saves by replacing the file ends the watch: watch the new file.
    if (QFileInfo::exists(changed) && !watcher_->files().contains(changed)) watcher_->addPath(changed);
    if (changed != path(Side::Config) && changed != path(Side::Sample)) return;
    changedText_->setText(tr("%1 changed on disk").arg(QFileInfo(changed).fileName()));
    changedBar_->show();
}

void ContentView::addRecent() {
    QSettings settings;
    QStringList recent = settings.value(recentKey).toStringList();
    const QString pair = path(Side::Config) + QLatin1Char('\n') + path(Side::Sample);
    recent.removeAll(pair);
    recent.prepend(pair);
    settings.setValue(recentKey, recent.mid(0, recentCount));
}

void ContentView::fillRecentMenu() {
    recentMenu_->clear();
    for (const QString& pair : QSettings().value(recentKey).toStringList()) {
        const QStringList files = pair.split(QLatin1Char('\n'));
        if (files.size() != 2) continue;
        auto* action = recentMenu_->addAction(
            tr("%1 \u2192 %2").arg(QFileInfo(files[0]).fileName(), QFileInfo(files[1]).fileName()));
        action->setToolTip(files.join(QStringLiteral(" \u2192 ")));
        connect(action, &QAction::triggered, this, [this, files] {
            if (!maySetWorkAside()) return;
            load(Side::Config, files[0], true);
            load(Side::Sample, files[1], true);
        });
    }
    recentMenu_->setEnabled(!recentMenu_->isEmpty());
}

void ContentView::copy(bool path, bool value) {
    const Item* node = currentView().selectedItem();
    if (!node) return;
    QString text;
    if (path) text = fromStd(keyPath(*node));
    if (path && value) text += QStringLiteral(" = ");
    if (value) text += displayValue(*node);
    QGuiApplication::clipboard()->setText(text);
}

void ContentView::showContextMenu(ItemView* view, const QPoint& at) {
    const QModelIndex index = view->indexAt(at);
    if (!index.isValid()) return;
    view->setCurrentIndex(index);
    Item* node = view->lines().itemFor(index);
    QMenu menu(this);
    menu.addAction(tr("Copy"), this, [this] { copy(true, true); });
    menu.addAction(tr("Copy Value"), this, [this] { copy(false, true); });
    menu.addAction(tr("Copy Key Path"), this, [this] { copy(true, false); });
    if (view == views_[slot(Tab::Difference)]) {
        menu.addSeparator();
        if (index.siblingAtColumn(ItemModel::SwitchColumn).data(ItemModel::HasSwitchRole).toBool())
            menu.addAction(node->enabled ? tr("Switch Off") : tr("Switch On"), this,
                           [this, node] { switchNode(node); });
        QAction* undo =
            menu.addAction(undo_.undoText().isEmpty() ? tr("Undo") : tr("Undo %1").arg(undo_.undoText()),
                           &undo_, &QUndoStack::undo);
        undo->setEnabled(undo_.canUndo());
    }
    menu.exec(view->viewport()->mapToGlobal(at));
}

void ContentView::setDecisionsOnly(bool only) {
    decisionsAction_->setChecked(only);
    ItemView& differences = view(Tab::Difference);
    if (differences.lines().decisionsOnly() == only) return;
    const Item* selected = differences.selectedItem();
    differences.lines().setDecisionsOnly(only);
    if (selectedTab() != Tab::Difference) selectTab(Tab::Difference);
    if (selected) differences.selectNode(selected);
    showCounts();
}

void ContentView::showFindBar() {
    findBar_->open();
    if (!findBar_->text().isEmpty()) find(findBar_->text());
}

int ContentView::find(const QString& text) {
    if (findBar_->text() != text) {
        findBar_->setText(text); // finds through textChanged
        return static_cast<int>(found_.size());
    }
    found_.clear();
    foundAt_ = 0;
    foundIn_ = tree(selectedTab());
    if (!text.isEmpty()) found_ = nodesHolding(*foundIn_, text);
    showFound();
    return static_cast<int>(found_.size());
}

bool ContentView::findNext(bool backwards) {
    if (foundIn_ != tree(selectedTab())) find(findBar_->text()); // the tree was replaced
    if (found_.empty()) return false;
    foundAt_ = backwards ? (foundAt_ + found_.size() - 1) % found_.size() : (foundAt_ + 1) % found_.size();
    showFound();
    return true;
}

void ContentView::showFound() {
    if (findBar_->text().isEmpty()) {
        findBar_->showCount({});
        return;
    }
    if (found_.empty()) {
        findBar_->showCount(tr("not found"));
        return;
    }
    findBar_->showCount(tr("%1 of %2").arg(foundAt_ + 1).arg(found_.size()));
    ItemView& lines = currentView();
    lines.lines().reveal(*found_[foundAt_]);
    lines.selectNode(found_[foundAt_]);
}

void ContentView::showKeys() {
    QMessageBox box(QMessageBox::NoIcon, tr("Keys"),
                    tr("<table>"
                       "<tr><td>Ctrl+O, Ctrl+Shift+O</td><td>open the configuration, the sample</td></tr>"
                       "<tr><td>F5</td><td>read both files again</td></tr>"
                       "<tr><td>Ctrl+S, Ctrl+Shift+S</td><td>save the result, save it as</td></tr>"
                       "<tr><td>Ctrl+1 … Ctrl+4</td><td>the tabs</td></tr>"
                       "<tr><td>F8, Shift+F8</td><td>next, previous decision</td></tr>"
                       "<tr><td>Space</td><td>switch the selected line</td></tr>"
                       "<tr><td>Ctrl+D</td><td>only decisions</td></tr>"
                       "<tr><td>Right or Return, Left</td><td>unfold, fold a decision</td></tr>"
                       "<tr><td>Ctrl+Z, Ctrl+Shift+Z</td><td>undo, redo a switch</td></tr>"
                       "<tr><td>Ctrl+F, F3, Shift+F3</td><td>find, next, previous match</td></tr>"
                       "<tr><td>Ctrl+C</td><td>copy the line as key/path = value</td></tr>"
                       "<tr><td>Ctrl+Q</td><td>quit</td></tr>"
                       "</table>"),
                    QMessageBox::Close, this);
    box.exec();
}

void ContentView::showAbout() {
    QMessageBox::about(this, tr("About Carryover"),
                       tr("<p><b>Carryover %1</b></p>"
                          "<p>Carries a configuration property list over into the structure of a newer full "
                          "sample.</p><p>License: MIT</p>")
                           .arg(QApplication::applicationVersion()));
}

void ContentView::showTrees() {
    // Only the selected tab's view holds lines.
    const int selected = tabs_->currentIndex();
    for (int i = 0; i < tabCount; ++i) {
        ItemModel& lines = views_[i]->lines();
        const ItemPtr& wanted = i == selected ? tree(static_cast<Tab>(i)) : nullptr;
        if (lines.root() != wanted) lines.setRoot(wanted);
    }
    views_[slot(Tab::Merged)]->lines().setSwitchesShown(false);
}

void ContentView::tabChanged(int index) {
    // Keep the place on the tab left...
    ItemView& left = *views_[shownTab_];
    Place& place = places_[shownTab_];
    place.root = trees_[shownTab_];
    place.node = left.selectedItem();
    place.path = place.node ? place.node->path() : std::string();
    place.scroll = left.verticalScrollBar()->value();
    const int from = std::exchange(shownTab_, index);
    showTrees();
    // ...and go back to the place on the tab shown.
    ItemView& shown = *views_[index];
    const Place& back = places_[index];
    const Item* select = nullptr;
    if (back.node) {
        if (back.root == trees_[index]) {
            select = back.node;
        } else {
            const auto same = trees_[index]->getItems(back.path);
            if (!same.empty()) select = same.front();
        }
    }
    // Between Differences and Result, the line selected on one is selected on the other.
    const bool linked = (from == slot(Tab::Difference) && index == slot(Tab::Merged)) ||
                        (from == slot(Tab::Merged) && index == slot(Tab::Difference));
    bool moved = false;
    if (linked && place.node) {
        const auto same = trees_[index]->getItems(place.path);
        if (!same.empty() && same.front() != select) {
            select = same.front();
            moved = true;
        }
    }
    shown.verticalScrollBar()->setValue(back.root == trees_[index] ? back.scroll : 0);
    if (select) {
        if (moved) shown.lines().reveal(*select);
        shown.selectNode(select, moved);
    }
    if (findBar_->isVisible() && !findBar_->text().isEmpty()) find(findBar_->text());
}

QString ContentView::path(Side side) const {
    return (side == Side::Config ? configField_ : sampleField_)->path();
}

const ItemPtr& ContentView::tree(Tab tab) {
    // A tree the comparison took is read again.
    if (!trees_[slot(tab)]) trees_[slot(tab)] = readAgain(tab == Tab::Config ? Side::Config : Side::Sample);
    if (tab == Tab::Merged && resultStale_) {
        // Kept as it was when nothing is enabled.
        if (ItemPtr result = mergedResult(trees_[slot(Tab::Difference)]))
            trees_[slot(Tab::Merged)] = std::move(result);
        resultStale_ = false;
    }
    return trees_[slot(tab)];
}

Tab ContentView::selectedTab() const {
    return static_cast<Tab>(tabs_->currentIndex());
}

void ContentView::selectTab(Tab tab) {
    tabs_->setCurrentIndex(slot(tab));
    currentView().setFocus();
}

ItemView& ContentView::view(Tab tab) const {
    return *views_[slot(tab)];
}

ItemView& ContentView::currentView() const {
    return *views_[tabs_->currentIndex()];
}

} // namespace carryover::ui
