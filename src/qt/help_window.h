#pragma once

#include "ui/services.h"

#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace tarvik {

// The folder of the help pages: the first of these that holds the contents page, relative to the
// program's own folder: ../share/tarvik3d/help (an installed program), help/ (the build copies the pages
// beside the program), then the source tree's help/ (a program run from its build folder). Empty when
// none does.
QString help_folder();

// The browser of the Help window. Every way to a page (a link, Home, the window's requests) comes
// through doSetSource: a page that does not exist brings the contents page instead and is named.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    using QTextBrowser::QTextBrowser;
    QString indexPath; // the contents page

  signals:
    void pageMissing(const QString& page);

  protected:
    void doSetSource(const QUrl& url, QTextDocument::ResourceType type) override;
};

// The Help window: the pages as HTML with their links, Back, Forward and Home (the contents page), a
// search field that marks the word in the shown page (Enter finds the next) and lists the pages that
// hold it, and a note when a page asked for does not exist.
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(const QString& folder, QWidget* parent = nullptr);

    // Shows `page` ("help_types.html", or with a place on it, "help_plots.html#styles").
    void show_page(const QString& page);
    // The file name of the shown page.
    QString current_page() const;

    HelpBrowser* browser() const { return browser_; }
    QLabel* note_label() const { return note_; }
    QLineEdit* search_field() const { return search_; }
    QListWidget* page_list() const { return pages_; }
    QToolButton* back_button() const { return back_; }
    QToolButton* forward_button() const { return forward_; }
    QToolButton* home_button() const { return home_; }

  private:
    struct Page {
        QString file, title, text; // text: the page as plain text, for the search
    };
    void read_pages();
    void list_pages(const QString& word);
    void select_page(const QString& file); // the entry of the shown page
    void mark_word(const QString& word);
    void find_next();

    QString folder_;
    std::vector<Page> all_;
    HelpBrowser* browser_;
    QLabel* note_;
    QLineEdit* search_;
    QListWidget* pages_;
    QToolButton* back_;
    QToolButton* forward_;
    QToolButton* home_;
};

// The one Help window of the program: made when first asked for, brought forward with the page asked
// for after. It deletes itself when closed; the host deletes it if still open when the host goes.
class QtHelp : public HelpService {
  public:
    QtHelp() = default;
    QtHelp(const QtHelp&) = delete;
    QtHelp& operator=(const QtHelp&) = delete;
    ~QtHelp() override;

    void show(const std::string& page) override;
    // The open window, or null.
    HelpWindow* window() const { return window_.data(); }

  private:
    QPointer<HelpWindow> window_;
};

} // namespace tarvik
