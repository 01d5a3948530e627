#pragma once

#include "gui/common/child_form.h"
#include "gui/workbench/window_factories.h"
#include "input/import_wizard.h"

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QToolButton;

namespace qel::gui {

class ImportWizardFields;

// frmWells and frmWldata: the four pages of an import wizard (introduction, file, fields,
// data) over the core's ImportWizard state. The window lays out the pages, forwards every
// control event to the wizard's kind and shows the state again after each one; every rule is
// the core's.
class ImportWizardWindow : public ChildForm {
    Q_OBJECT
public:
    // fields: the kind's own part (WellsWizardFields, WaterLevelWizardFields); the window takes it.
    ImportWizardWindow(Session &session, std::unique_ptr<ImportWizardFields> fields, QWidget *parent = nullptr);

    const ImportWizard &wizard() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The frame's close is Cancel.
    bool closeProcedure() override;

private:
    QWidget *buildFilePage();
    QWidget *buildFieldsPage();
    QWidget *buildDataPage();
    QWidget *buildStepPicture();
    QLayout *buildButtons();

    // Runs a person's event on the wizard, then shows the wizard's state again.
    template<typename Event> void forward(Event &&event, bool tableMayChange = true);
    void showState();
    void showStepPicture(int step);
    void showSheets();
    void showGrid();
    void gridCellChanged(int row, int column);

    ImportWizardFields *m_fields; // a child widget of the field page
    // True while the window fills its own controls: their signals are not the person's.
    bool m_filling = false;
    // The data grid is filled again from the table when it is shown after an event that may
    // have read or changed the table.
    bool m_gridStale = true;

    QStackedWidget *m_pages = nullptr;
    std::array<QLabel *, 4> m_stepLabels {};
    QListWidget *m_formats = nullptr;
    QLineEdit *m_fileBox = nullptr;
    QToolButton *m_folder = nullptr;
    QComboBox *m_sheets = nullptr;
    QLabel *m_records = nullptr;
    QPushButton *m_readData = nullptr;
    QTableWidget *m_grid = nullptr;
    QPushButton *m_finished = nullptr;
    QPushButton *m_mapWells = nullptr;
    QLabel *m_hint = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
};

// The factories the workbench opens the wizards with: Edit > Well Locations and Edit > Water
// Level Data.
WindowFactories::FormFactory wellLocationsFactory();
WindowFactories::FormFactory waterLevelsFactory();

} // namespace qel::gui
