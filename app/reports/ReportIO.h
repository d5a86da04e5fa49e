#pragma once

// TformReportIO: the report assistant. It builds a new player report,
// franchise report or report pack page by page, or changes one part of an
// existing report. The definition lives in a working report that is never
// stored itself: what the commissioner made goes to the season only through
// the data layer's add and change calls, which check it whole first, so a
// cancelled assistant leaves the report file as it was.

#include "data02/diag/Memory.h"

#include <QDialog>
#include <memory>
#include <vector>

#include "app/widgets/DragDrop.h"

namespace Ui {
class TformReportIO;
}

namespace qff {
class Report;
class Singleton;
struct ReportChange;
struct ReportDefinition;
}  // namespace qff

class Prompter;
class QListWidget;
class QListWidgetItem;

class TformReportIO : public QDialog {
    Q_OBJECT

  public:
    enum class Mode { New, Edit };
    enum Page {
        kNewIntroPage,
        kEditIntroPage,
        kNamePage,
        kPlayerRowsPage,
        kTeamRowsPage,
        kReportPackPage,
        kColumnsPage,
        kHeaderIntroPage,
        kHeaderPage,
        kSortOrderPage,
        kFinishedPage
    };

    TformReportIO(qff::Singleton& season, Prompter& prompter, Mode mode, QWidget* parent = nullptr);
    ~TformReportIO() override;

    // The report tree group to refresh: the type of the report stored last
    // when it is 1, 3, 6, 7, 8 or 9 and listed, else 0.
    int storedGroup() const { return storedGroup_; }
    Page page() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void connectControls();
    void connectColumnsPage();
    void connectHeaderPage();
    void connectPackPage();
    void fillFixedLists();

    // Moving between the pages.
    void showPage(Page page);
    void btnNextClick();
    void btnBackClick();
    void btnFinishedClick();
    void btnCancelClick();
    Page nextPage(Page page) const;
    Page rowsPage() const;
    Page areaPage() const;
    // Copies the page's controls into the working report; false when what
    // they hold may not leave the page that way.
    bool storePage(Page page, bool forward);
    void loadPage(Page page);
    // Stores the working report through the data layer; false, with the
    // reason told, when it was refused.
    bool storeReport();

    // The intro pages.
    void storeNewIntro();
    void loadNewIntro();
    void fillEditReports();
    void chooseEditReport();
    void relabelAreas();

    // The name page.
    bool storeName(bool forward);
    void loadName();

    // The rows pages.
    void storePlayerRows();
    void loadPlayerRows();
    void updatePlayerRows();
    void storeTeamRows();
    void loadTeamRows();
    void updateTeamRows();

    // The report pack page.
    void storePack();
    void loadPack();
    void fillPackAvailable();
    void addPackMembers(const std::vector<int>& ids);
    void removePackMember(int row);
    void movePackMember(bool up);
    void updatePackButtons();
    void packDragDrop(const HdlDragDrop::DropInfo& info);

    // The columns page.
    void loadColumns();
    void fillCategories();
    void fillAvailableItems();
    void fillSelectedColumns(int select);
    void addColumns(const QList<QListWidgetItem*>& items);
    void removeColumn();
    void moveColumn(bool up);
    void updateColumnButtons();
    void columnsDragDrop(const HdlDragDrop::DropInfo& info);

    // The header page.
    void loadHeader();
    void fillSections(int select);
    void fillHeaderColumns(int select);
    void addSection();
    void removeSection();
    void storeSectionTitle();
    void showSectionTitle();
    void storeColumnHeader();
    void showColumnHeader();
    void previewReport();

    // The sort order page.
    bool storeSortOrder();
    void loadSortOrder();
    void sortLevelChosen(int level);

    // Rewrites the working report from its definition, keeping its id.
    void rewrite(const qff::ReportDefinition& definition);
    bool tell(const qff::ReportChange& change);
    int type() const;
    // Keys the name, header and title fields refuse are dropped.
    void filterKeys(QWidget* field);

    qff::Singleton& season_;
    Prompter& prompter_;
    Mode mode_;
    qff::Owned<qff::Report> working_;
    // The report being edited; 0 for a new report.
    int editId_ = 0;
    std::vector<Page> history_;
    std::vector<QWidget*> filteredFields_;
    int storedGroup_ = 0;
    HdlDragDrop dragDrop_;
    std::unique_ptr<Ui::TformReportIO> ui;
};
