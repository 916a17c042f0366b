#include "qt/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tarvik {

namespace {

const char* const kIndexPage = "index.html";
const char* const kWindowTitle = "Help";
const char* const kMissingPage = "The help page %1 was not found.";
const char* const kNoPages =
    "<h1>Help</h1><p>The help pages were not found. The program looks for them in these folders:</p><ul>%1</ul>";
const char* const kNoMatch = "No page holds \"%1\".";

// How the pages look in the window; the pages themselves are plain HTML that any browser shows.
const char* const kPageStyle = "h1 { color: #4b2f5e; } h2, h3 { color: #4b2f5e; } "
                               "div.formula { margin-left: 28px; margin-top: 4px; margin-bottom: 4px; "
                               "font-family: serif; font-size: large; } "
                               "code { font-family: monospace; } th { background-color: #ece4ec; }";

QStringList candidate_folders() {
    const QString here = QCoreApplication::applicationDirPath();
    return {here + "/../share/tarvik3d/help", here + "/help", QStringLiteral(TARVIK_HELP_SOURCE_DIR)};
}

} // namespace

QString help_folder() {
    for (const QString& folder : candidate_folders())
        if (QFileInfo(folder + "/" + kIndexPage).isFile())
            return QDir::cleanPath(QDir(folder).absolutePath());
    return {};
}

void HelpBrowser::doSetSource(const QUrl& url, QTextDocument::ResourceType type) {
    const QUrl target = source().resolved(url);
    if (target.isLocalFile() && !QFileInfo(target.toLocalFile()).isFile() && QFileInfo(indexPath).isFile()) {
        QTextBrowser::doSetSource(QUrl::fromLocalFile(indexPath), type);
        emit pageMissing(target.fileName());
        return;
    }
    QTextBrowser::doSetSource(url, type);
}

HelpWindow::HelpWindow(const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(folder), browser_(new HelpBrowser(this)), note_(new QLabel(this)),
      search_(new QLineEdit(this)), pages_(new QListWidget(this)), back_(new QToolButton(this)),
      forward_(new QToolButton(this)), home_(new QToolButton(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false); // the program ends with its main window, help open or not
    setWindowTitle(kWindowTitle);
    resize(960, 680);

    const auto tool = [this](QToolButton* b, const char* text, QStyle::StandardPixmap icon, const char* tip) {
        b->setText(text);
        b->setIcon(style()->standardIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setToolTip(tip);
    };
    tool(back_, "Back", QStyle::SP_ArrowBack, "The page shown before (Alt+Left)");
    tool(forward_, "Forward", QStyle::SP_ArrowForward, "The page shown after (Alt+Right)");
    tool(home_, "Home", QStyle::SP_DirHomeIcon, "The contents page");
    back_->setEnabled(false);
    forward_->setEnabled(false);
    search_->setPlaceholderText("Find in the help (Ctrl+F)");
    search_->setClearButtonEnabled(true);
    search_->setMinimumWidth(260);
    note_->setWordWrap(true);
    note_->setStyleSheet("QLabel { background-color: #fff3cd; border: 1px solid #d9b650; padding: 4px; }");
    note_->hide();
    pages_->setWordWrap(true);
    pages_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pages_->setToolTip("The pages that hold the word searched for (all pages when the field is empty)");
    browser_->setOpenExternalLinks(true);
    browser_->document()->setDefaultStyleSheet(kPageStyle);
    if (!folder_.isEmpty()) {
        browser_->indexPath = folder_ + "/" + kIndexPage;
        browser_->setSearchPaths({folder_});
    }

    auto* bar = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(back_), static_cast<QWidget*>(forward_), static_cast<QWidget*>(home_)})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(search_);
    auto* split = new QSplitter(this);
    split->addWidget(pages_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    split->setSizes({250, 710});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(note_);
    layout->addWidget(split, 1);

    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home_, &QToolButton::clicked, this, [this] { show_page(kIndexPage); });
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& shown) {
        note_->hide();
        mark_word(search_->text());
        select_page(shown.fileName());
    });
    connect(browser_, &HelpBrowser::pageMissing, this, [this](const QString& page) {
        note_->setText(QString(kMissingPage).arg(page));
        note_->show();
    });
    connect(search_, &QLineEdit::textChanged, this, [this](const QString& word) {
        list_pages(word);
        mark_word(word);
        browser_->moveCursor(QTextCursor::Start);
        if (!word.isEmpty())
            browser_->find(word);
    });
    connect(search_, &QLineEdit::returnPressed, this, &HelpWindow::find_next);
    connect(pages_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (const QString file = item->data(Qt::UserRole).toString(); !file.isEmpty())
            show_page(file);
    });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
        search_->setFocus();
        search_->selectAll();
    });

    read_pages();
    list_pages({});
}

void HelpWindow::read_pages() {
    if (folder_.isEmpty())
        return;
    for (const QString& file : QDir(folder_).entryList({"*.html"}, QDir::Files, QDir::Name)) {
        QFile in(folder_ + "/" + file);
        if (!in.open(QIODevice::ReadOnly))
            continue;
        QTextDocument page;
        page.setHtml(QString::fromUtf8(in.readAll()));
        const QString title = page.metaInformation(QTextDocument::DocumentTitle);
        all_.push_back({file, title.isEmpty() ? file : title, page.toPlainText()});
    }
    // The contents page first, then the pages in the order it first links to them, then any other.
    QStringList order{kIndexPage};
    QFile index(folder_ + "/" + kIndexPage);
    if (index.open(QIODevice::ReadOnly))
        for (const auto& link : QRegularExpression(R"(href="([^"#:]+))").globalMatch(QString::fromUtf8(index.readAll())))
            if (!order.contains(link.captured(1)))
                order << link.captured(1);
    const auto place = [&](const Page& p) { return order.contains(p.file) ? order.indexOf(p.file) : order.size(); };
    std::stable_sort(all_.begin(), all_.end(), [&](const Page& a, const Page& b) { return place(a) < place(b); });
}

void HelpWindow::list_pages(const QString& word) {
    pages_->clear();
    for (const Page& p : all_) {
        if (!word.isEmpty() && !p.text.contains(word, Qt::CaseInsensitive) && !p.title.contains(word, Qt::CaseInsensitive))
            continue;
        auto* item = new QListWidgetItem(p.title, pages_);
        item->setData(Qt::UserRole, p.file);
        item->setToolTip(p.file);
    }
    if (pages_->count() == 0 && !word.isEmpty())
        new QListWidgetItem(QString(kNoMatch).arg(word), pages_);
    select_page(current_page());
}

void HelpWindow::select_page(const QString& file) {
    pages_->clearSelection();
    for (int row = 0; row < pages_->count(); ++row)
        if (pages_->item(row)->data(Qt::UserRole).toString() == file)
            pages_->setCurrentRow(row);
}

void HelpWindow::mark_word(const QString& word) {
    QList<QTextEdit::ExtraSelection> marks;
    if (!word.isEmpty()) {
        QTextCharFormat marked;
        marked.setBackground(QColor(255, 226, 110));
        const QTextDocument* page = browser_->document();
        for (QTextCursor at = page->find(word); !at.isNull(); at = page->find(word, at))
            marks.append({at, marked});
    }
    browser_->setExtraSelections(marks);
}

void HelpWindow::find_next() {
    const QString word = search_->text();
    if (word.isEmpty() || browser_->find(word))
        return;
    browser_->moveCursor(QTextCursor::Start); // from the top again
    browser_->find(word);
}

void HelpWindow::show_page(const QString& page) {
    const QString file = page.section('#', 0, 0);
    const QString place = page.section('#', 1);
    if (!QFileInfo(browser_->indexPath).isFile()) {
        QString where;
        for (const QString& folder : candidate_folders())
            where += "<li>" + QDir::cleanPath(folder).toHtmlEscaped() + "</li>";
        browser_->setHtml(QString(kNoPages).arg(where));
        note_->setText(QString(kMissingPage).arg(file));
        note_->show();
        return;
    }
    QUrl url = QUrl::fromLocalFile(folder_ + "/" + file);
    if (!place.isEmpty())
        url.setFragment(place);
    browser_->setSource(url);
}

QString HelpWindow::current_page() const {
    return browser_->source().fileName();
}

QtHelp::~QtHelp() {
    delete window_.data();
}

void QtHelp::show(const std::string& page) {
    if (!window_)
        window_ = new HelpWindow(help_folder());
    window_->show_page(QString::fromStdString(page));
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

} // namespace tarvik
