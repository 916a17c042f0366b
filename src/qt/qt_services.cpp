#include "qt/qt_services.h"

#include "qt/main_window_view.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QThread>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <exception>

namespace tarvik {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString joined(const TextList& lines) {
    QStringList out;
    for (const auto& l : lines)
        out << qs(l);
    return out.join('\n');
}

QWidget* dialog_parent() {
    return QApplication::activeWindow();
}

// A dialog grows with its text: the header of a table with 10,000 columns would make it far taller than
// any screen, its buttons out of reach. Such a text is shown up to a bound, with a note; the whole text
// stays readable in a scrolling field beside it.
constexpr qsizetype kShownLines = 30;
constexpr qsizetype kShownCharacters = 2000;

// The text as a dialog shows it; `where` names the place of the whole text when it had to be cut.
QString shown_text(const QString& full, const QString& where, bool* cut) {
    const QStringList lines = full.split('\n');
    QString shown;
    qsizetype taken = 0;
    for (; taken < lines.size() && taken < kShownLines; ++taken) {
        const QString next = (taken ? "\n" : "") + lines[taken];
        if (shown.size() + next.size() > kShownCharacters)
            break;
        shown += next;
    }
    *cut = taken < lines.size();
    if (!*cut)
        return full;
    if (taken == 0) // one line longer than the bound
        return lines[0].left(kShownCharacters) + QString::fromUtf8("\u2026\n\n(the whole text is ") + where +
               ")";
    const qsizetype more = lines.size() - taken;
    return shown + QString("\n\n(%1 more line%2 %3)").arg(more).arg(QString(more == 1 ? "" : "s"), where);
}

// A read-only field of a dozen lines that scrolls through the whole text.
QPlainTextEdit* whole_text_field(const QString& full, QWidget* parent) {
    auto* field = new QPlainTextEdit(full, parent);
    field->setReadOnly(true);
    field->setLineWrapMode(QPlainTextEdit::NoWrap);
    field->setFixedHeight(field->fontMetrics().lineSpacing() * 12 + 12);
    field->setMinimumWidth(360);
    return field;
}

// A message box that keeps a long text within the screen: the shown part as its text, the whole text
// under "Show Details...".
QMessageBox* message_box(QMessageBox::Icon icon, const std::string& title, const TextList& text) {
    const QString full = joined(text);
    bool cut = false;
    const QString shown = shown_text(full, "under Show Details...", &cut);
    auto* box = new QMessageBox(icon, qs(title), shown, QMessageBox::Ok, dialog_parent());
    if (cut)
        box->setDetailedText(full);
    return box;
}

// "*.txt" becomes "*.txt (*.txt)", the form the file dialogs expect.
QString file_filter(const std::string& filter) {
    return qs(filter) + " (" + qs(filter) + ")";
}

std::optional<FileChoice> choice_of(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    QFileInfo info(path);
    return FileChoice{info.fileName().toStdString(), info.absolutePath().toStdString()};
}

} // namespace

QtServices::QtServices() = default;
QtServices::~QtServices() = default;

Services QtServices::services() {
    Services s;
    s.dialogs = this;
    s.progress = this;
    s.printer = this;
    s.clock = &clock_;
    s.plots = &plots_;
    s.results = &results_;
    s.help = &help_;
    s.background = this;
    return s;
}

DialogRef QtServices::show_box(QMessageBox* box, WindowStyle style) {
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(style == WindowStyle::Modal ? Qt::ApplicationModal : Qt::NonModal);
    if (style == WindowStyle::Replace) {
        for (auto& [id, d] : dialogs_)
            if (d && d->windowTitle() == box->windowTitle())
                d->close();
    }
    box->show();
    const int id = next_++;
    dialogs_[id] = box;
    return DialogRef{id};
}

DialogRef QtServices::warning(const TextList& text, const std::string& title, bool modal) {
    QMessageBox* box = message_box(QMessageBox::Warning, title, text);
    return show_box(box, modal ? WindowStyle::Modal : WindowStyle::NonModal);
}

DialogRef QtServices::message(const TextList& text, const std::string& title, Icon icon, WindowStyle style) {
    const QMessageBox::Icon qicon = icon == Icon::Warn    ? QMessageBox::Warning
                                    : icon == Icon::Error ? QMessageBox::Critical
                                    : icon == Icon::Help  ? QMessageBox::Question
                                                          : QMessageBox::NoIcon;
    QMessageBox* box = message_box(qicon, title, text);
    return show_box(box, style);
}

std::string QtServices::question(const std::string& text, const std::string& title,
                                 const std::string& button1, const std::string& button2,
                                 const std::string& defaultButton) {
    // A plain dialog rather than a message box, so that its close box answers "no choice".
    QDialog dialog(dialog_parent());
    dialog.setWindowTitle(qs(title));
    auto* layout = new QVBoxLayout(&dialog);
    bool cut = false;
    auto* label = new QLabel(shown_text(qs(text), "in the field below", &cut), &dialog);
    label->setWordWrap(true);
    label->setMinimumWidth(360);
    layout->addWidget(label);
    if (cut)
        layout->addWidget(whole_text_field(qs(text), &dialog));
    auto* buttons = new QDialogButtonBox(&dialog);
    layout->addWidget(buttons);
    std::string answer;
    for (const std::string& name : {button1, button2}) {
        QPushButton* b = buttons->addButton(qs(name), QDialogButtonBox::ActionRole);
        if (name == defaultButton) {
            b->setDefault(true);
            b->setFocus();
        }
        QObject::connect(b, &QPushButton::clicked, &dialog, [&dialog, &answer, name] {
            answer = name;
            dialog.accept();
        });
    }
    dialog.exec();
    return answer;
}

TextList QtServices::input(const TextList& prompts, const std::string& title, int linesPerField) {
    QDialog dialog(dialog_parent());
    dialog.setWindowTitle(qs(title));
    auto* form = new QFormLayout(&dialog);
    std::vector<QPlainTextEdit*> fields;
    for (const auto& p : prompts) {
        auto* field = new QPlainTextEdit(&dialog);
        field->setFixedHeight(field->fontMetrics().lineSpacing() * std::max(1, linesPerField) + 12);
        form->addRow(qs(p), field);
        fields.push_back(field);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    TextList out;
    for (auto* f : fields)
        out.push_back(f->toPlainText().toStdString());
    return out;
}

std::optional<FileChoice> QtServices::open_file(const std::string& filter, const std::string& title) {
    return choice_of(
        QFileDialog::getOpenFileName(dialog_parent(), qs(title), QString(), file_filter(filter)));
}

std::optional<FileChoice> QtServices::save_file(const std::string& filter, const std::string& title) {
    return choice_of(
        QFileDialog::getSaveFileName(dialog_parent(), qs(title), QString(), file_filter(filter)));
}

void QtServices::wait(DialogRef ref) {
    auto it = dialogs_.find(ref.id);
    if (it == dialogs_.end())
        return;
    QPointer<QDialog> d = it->second;
    if (d && d->isVisible()) {
        QEventLoop loop;
        QObject::connect(d, &QDialog::finished, &loop, &QEventLoop::quit);
        QObject::connect(d, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    dialogs_.erase(ref.id);
}

ProgressRef QtServices::create(double fraction, const std::string& message) {
    auto* p = new QProgressDialog(qs(message), "Cancel", 0, 1000, dialog_parent());
    p->setAttribute(Qt::WA_DeleteOnClose);
    p->setWindowTitle(" ");
    p->setMinimumDuration(0);
    p->setAutoClose(false);
    p->setAutoReset(false);
    p->setValue(static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * 1000)));
    p->show();
    QApplication::processEvents();
    const int id = next_++;
    progress_[id].dialog = p;
    progress_[id].shown.start();
    QObject::connect(p, &QProgressDialog::canceled, p, [this, id] {
        if (auto it = progress_.find(id); it != progress_.end())
            it->second.cancelled = true;
    });
    return ProgressRef{id};
}

void QtServices::update(ProgressRef ref, double fraction, const std::optional<std::string>& message) {
    auto it = progress_.find(ref.id);
    if (it == progress_.end() || !it->second.dialog)
        return;
    Progress& p = it->second;
    if (message)
        p.label = qs(*message);
    // Drawn at most every 40 ms (and at the end): a run of a thousand pairs moves its bar tens of
    // thousands of times, and drawing each would take longer than the work.
    if (fraction < 1 && p.shown.isValid() && p.shown.elapsed() < kProgressIntervalMs)
        return;
    if (p.label) {
        p.dialog->setLabelText(*p.label);
        p.label.reset();
    }
    p.dialog->setValue(static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * 1000)));
    QApplication::processEvents();
    p.shown.start();
}

bool QtServices::cancelled(ProgressRef ref) const {
    const auto it = progress_.find(ref.id);
    return it != progress_.end() && it->second.cancelled;
}

void QtServices::close(ProgressRef ref) {
    auto it = progress_.find(ref.id);
    if (it == progress_.end())
        return;
    if (it->second.dialog)
        it->second.dialog->close();
    progress_.erase(it);
}

void QtServices::run_work(const Work& work, const std::function<void()>& poll) {
    std::exception_ptr workFailure;
    PollUntilFailure polled(poll);
    QFutureWatcher<void> watcher;
    QTimer ticks;
    ticks.setInterval(kPollIntervalMs);
    QObject::connect(&ticks, &QTimer::timeout, [&] { polled(); });
    watcher.setFuture(QtConcurrent::run([&] {
        try {
            work([] {}); // the timer polls
        } catch (...) {
            workFailure = std::current_exception();
        }
    }));
    ticks.start();
    // A quit of the program ends every event loop at once; the work still has to end before its data go.
    while (!watcher.isFinished()) {
        QEventLoop loop;
        QObject::connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
        if (!watcher.isFinished())
            loop.exec();
    }
    ticks.stop();
    watcher.waitForFinished();
    if (workFailure)
        std::rethrow_exception(workFailure);
    polled.rethrow();
}

int QtServices::threads() const {
    return std::max(QThread::idealThreadCount(), 1);
}

void QtServices::print_window(const Figure& window) {
    MainWindowView* view = MainWindowView::of(window);
    if (!view)
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, view);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    const QSize size = view->size();
    const double scale = std::min(page.width() / double(size.width()), page.height() / double(size.height()));
    painter.scale(scale, scale);
    view->render(&painter);
}

} // namespace tarvik
