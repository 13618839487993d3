// The main view: path fields, tabs, the comparison's triggers, switching and saving.
#include "ui/ContentView.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "merge/Switch.h"
#include "plist/Loading.h"
#include "plist/Quoted.h"
#include "plist/Saving.h"
#include "ui/ItemView.h"
#include "ui/OperationStyle.h"
#include "ui/PathField.h"

namespace carryover::ui {

namespace {

constexpr int tabCount = 4;

int slot(Tab tab) {
    return static_cast<int>(tab);
}

ItemPtr emptyTree() {
    return makeNode("", "", ItemDataType::None);
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

} // namespace

ContentView::ContentView(QWidget* parent) : QWidget(parent) {
    for (auto& tree : trees_)
        tree = emptyTree();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeFields());
    layout->addWidget(makeTabs(), 1);
    counts_ = new QLabel(this);
    counts_->setAccessibleName(QStringLiteral("Differences per operation"));
    layout->addWidget(counts_);
    makeShortcuts();

    chooseSaveFile = [this] {
        QFileDialog dialog(this, QStringLiteral("Save Result"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(QStringLiteral("Property lists (*.plist)"));
        dialog.setDefaultSuffix(QStringLiteral("plist"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseOpenFile = [this](Side side) {
        return QFileDialog::getOpenFileName(this,
                                            side == Side::Config ? QStringLiteral("Open Config.plist")
                                                                 : QStringLiteral("Open Sample Full.plist"),
                                            {}, QStringLiteral("Property lists (*.plist)"));
    };
    saveButton_->setEnabled(canSave());
    showTrees();
    showCounts();
}

QWidget* ContentView::makeFields() {
    auto* box = new QGroupBox(this);
    auto* row = new QHBoxLayout(box);
    auto* labels = new QVBoxLayout;
    auto* fields = new QVBoxLayout;
    const auto addField = [&](const QString& label, Side side) {
        auto* text = new QLabel(label, box);
        text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* field = new PathField(box);
        field->setAccessibleName(label.chopped(1)); // "Config.plist", "Sample Full.plist"
        text->setBuddy(field);
        labels->addWidget(text);
        fields->addWidget(field);
        connect(field, &PathField::fileDropped, this,
                [this, side](const QString& path) { openFile(side, path); });
        connect(field, &PathField::clicked, this, [this, side] { chooseFile(side); });
        return field;
    };
    configField_ = addField(QStringLiteral("Config.plist:"), Side::Config);
    labels->addSpacing(10);
    fields->addSpacing(10);
    sampleField_ = addField(QStringLiteral("Sample Full.plist:"), Side::Sample);
    row->addLayout(labels);
    row->addLayout(fields, 1);
    return box;
}

QWidget* ContentView::makeTabs() {
    tabs_ = new QTabWidget(this);
    const QString labels[tabCount] = {QStringLiteral("Config"), QStringLiteral("Full Sample"),
                                      QStringLiteral("Differences"), QStringLiteral("Result")};
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
            saveButton_ = new QPushButton(QStringLiteral("Save"), page);
            saveButton_->setAccessibleName(QStringLiteral("Save the result"));
            saveButton_->setToolTip(QStringLiteral("Save the result as a property list (Ctrl+S)"));
            row->addWidget(saveButton_);
            row->addSpacing(40);
            grid->addLayout(row, 0, 0, Qt::AlignTop);
            connect(saveButton_, &QPushButton::clicked, this, &ContentView::save);
        }
        page->setAccessibleName(labels[i]);
        tabs_->addTab(page, labels[i]);
        connect(view, &ItemView::switchRequested, this, &ContentView::switchNode);
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { showTrees(); });
    return tabs_;
}

void ContentView::makeShortcuts() {
    const auto add = [this](const QKeySequence& keys, auto action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
    };
    for (int i = 0; i < tabCount; ++i)
        add(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + i)),
            [this, i] { selectTab(static_cast<Tab>(i)); });
    add(QKeySequence::Save, [this] {
        if (canSave()) save();
    });
    add(QKeySequence(Qt::CTRL | Qt::Key_O), [this] { chooseFile(Side::Config); });
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), [this] { chooseFile(Side::Sample); });
    add(QKeySequence(Qt::Key_F8), [this] { currentView().selectNextDifference(false); });
    add(QKeySequence(Qt::SHIFT | Qt::Key_F8), [this] { currentView().selectNextDifference(true); });
}

void ContentView::openFile(Side side, const QString& path) {
    QTimer::singleShot(0, this, [this, side, path] { load(side, path); });
}

void ContentView::chooseFile(Side side) {
    const QString path = chooseOpenFile(side);
    if (!path.isEmpty()) openFile(side, path);
}

void ContentView::load(Side side, const QString& path) {
    if (QFileInfo(path).suffix() != QLatin1String("plist")) {
        setFile(side, pathPrompt, emptyTree());
        return;
    }
    BusyCursor busy;
    LoadResult loaded = loadPlist(path.toStdString(), counter_);
    if (!loaded.loaded()) {
        diagnostic(loaded.message);
        setFile(side, pathPrompt, emptyTree());
        return;
    }
    setFile(side, path, std::move(loaded.root));
}

void ContentView::setFile(Side side, const QString& path, ItemPtr root) {
    (side == Side::Config ? configField_ : sampleField_)->setPath(path);
    trees_[slot(side == Side::Config ? Tab::Config : Tab::Sample)] = std::move(root);
    saveButton_->setEnabled(canSave());
    showTrees();
    compareWhenChanged();
}

void ContentView::compareWhenChanged() {
    const bool changed =
        trees_[slot(Tab::Config)]->name != nameSaved1_ || trees_[slot(Tab::Sample)]->name != nameSaved2_;
    if (!changed || comparisonPosted_) return;
    comparisonPosted_ = true;
    QTimer::singleShot(0, this, [this] {
        if (comparisonPosted_) runComparison(); // a save may have run it already
    });
}

void ContentView::runComparison() {
    comparisonPosted_ = false;
    const ItemPtr& configTree = trees_[slot(Tab::Config)];
    const ItemPtr& sampleTree = trees_[slot(Tab::Sample)];
    const Item& config = *configTree;
    const Item& sample = *sampleTree;
    if (config.name.empty() || sample.name.empty()) {
        // Forget the names too, so that loading the same file again compares again.
        nameSaved1_.clear();
        nameSaved2_.clear();
        if (trees_[slot(Tab::Difference)]->type() != ItemDataType::None ||
            !trees_[slot(Tab::Difference)]->name.empty())
            setDifferences(emptyTree(), emptyTree(), {});
        return;
    }
    nameSaved1_ = config.name;
    nameSaved2_ = sample.name;
    BusyCursor busy;
    Comparison comparison = compare(configTree, sampleTree);
    setDifferences(std::move(comparison.differences), std::move(comparison.result), comparison.counts);
}

void ContentView::setDifferences(ItemPtr differences, ItemPtr result, OperationCounts counts) {
    trees_[slot(Tab::Difference)] = std::move(differences);
    if (result) trees_[slot(Tab::Merged)] = std::move(result);
    operationCounts_ = counts;
    showTrees();
    showCounts();
    emit resultChanged();
}

void ContentView::switchNode(Item* node) {
    const ItemPtr& differences = trees_[slot(Tab::Difference)];
    if (!node || !carryover::switchNode(*differences, *node)) return;
    view(Tab::Difference).lines().flagsChanged();
    // A switch changes flags only; the result is derived anew, and kept when nothing is enabled.
    if (ItemPtr result = mergedResult(differences)) trees_[slot(Tab::Merged)] = std::move(result);
    if (selectedTab() == Tab::Merged) view(Tab::Merged).lines().setRoot(trees_[slot(Tab::Merged)]);
    emit resultChanged();
}

void ContentView::showTrees() {
    // Only the selected tab's view holds lines.
    const int selected = tabs_->currentIndex();
    for (int i = 0; i < tabCount; ++i) {
        ItemModel& lines = views_[i]->lines();
        const ItemPtr& wanted = i == selected ? trees_[i] : nullptr;
        if (lines.root() != wanted) lines.setRoot(wanted);
    }
    views_[slot(Tab::Merged)]->lines().setSwitchesShown(false);
}

void ContentView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && counts_) showCounts();
}

void ContentView::showCounts() {
    if (trees_[slot(Tab::Difference)]->type() != ItemDataType::FileName) {
        counts_->clear();
        return;
    }
    const bool dark = isDark(palette());
    QStringList parts;
    for (Operation operation : {Operation::None, Operation::Kill, Operation::Merged, Operation::Replacement,
                                Operation::Inserted, Operation::Unmatched})
        parts << QStringLiteral("<span style=\"color:%1\">%2 %3</span>")
                     .arg(operationColor(operation, dark).name(), operationWord(operation))
                     .arg(operationCounts_[operation]);
    counts_->setText(parts.join(QStringLiteral(" &middot; ")));
}

void ContentView::save() {
    // Save is enabled once both files are loaded, which can be before the comparison they post has run.
    if (comparisonPosted_) runComparison();
    QString target = chooseSaveFile();
    if (target.isEmpty()) return;
    if (QFileInfo(target).suffix() != QLatin1String("plist")) target += QStringLiteral(".plist");
    const SaveResult saved = savePlist(*trees_[slot(Tab::Merged)], target.toStdString());
    if (saved.saved()) return;
    diagnostic("Error writing plist: " + saved.description() + " (" +
               carryover::quoted(target.toStdString()) + ")");
    tell(this, QStringLiteral("Not saved"),
         QStringLiteral("%1 was not saved: %2.").arg(target, QString::fromStdString(saved.description())));
}

bool ContentView::canSave() const {
    return configField_->path() != pathPrompt && sampleField_->path() != pathPrompt;
}

QString ContentView::path(Side side) const {
    return (side == Side::Config ? configField_ : sampleField_)->path();
}

const ItemPtr& ContentView::tree(Tab tab) const {
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
