#pragma once

#include "core/session.h"
#include "input/import_wizard.h"
#include "input/water_level_reader.h"
#include "input/well_reader.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLineEdit;

namespace qel::gui {

// The labels of the field page share one width, so that the sheet list and the kind's controls
// line up.
constexpr int FieldLabelWidth = 190;

// What differs between the two import wizard windows: the kind's core state and events, the
// texts of the introduction and the field page, and the controls of the field page between the
// sheet list and the record count. The widget itself is those controls.
class ImportWizardFields : public QWidget {
    Q_OBJECT
public:
    explicit ImportWizardFields(Session &session)
        : m_session(session)
    {
    }

    Session &session() const { return m_session; }
    virtual ImportWizard &wizard() = 0;

    virtual QString formName() const = 0; // "frmWells"
    virtual QString fileBoxName() const = 0; // "txtWEDataFile"
    virtual QString folderButtonName() const = 0; // "imgWEDataFile"
    virtual QString fileFrameTitle() const = 0; // "Specify well data file"
    virtual QString fieldsIntro() const = 0;
    // The introduction page: the rules of the sheet and a sample of one.
    virtual QWidget *buildIntroduction() const = 0;
    virtual bool hasMapWells() const { return false; }
    virtual bool mapWellsEnabled() { return false; }

    // The kind's events, as the core names them.
    virtual void open() = 0;
    virtual void formatClicked(int index) = 0;
    virtual void folderClicked() = 0;
    virtual void sheetClicked(int index) = 0;
    virtual void readDataClicked() = 0;
    virtual void finishedEditingClicked() = 0;
    virtual void mapWellsClicked() { }
    virtual void next() = 0;
    virtual void back() = 0;

    // Shows the kind's controls from the core state.
    virtual void showState() = 0;

Q_SIGNALS:
    // A control of the kind's own was used: the window shows the whole state again.
    void changed();

protected:
    // A person's event on the kind's own controls: run it, then let the window show the state.
    template<typename Event> void forward(Event &&event)
    {
        if (m_filling)
            return;
        wizard().eventSource = EventSource::User;
        event();
        Q_EMIT changed();
    }
    bool m_filling = false;

private:
    Session &m_session;
};

// frmWells' part: the identifier, x and y column lists, and "Map Wells".
class WellsWizardFields : public ImportWizardFields {
    Q_OBJECT
public:
    explicit WellsWizardFields(Session &session);

    ImportWizard &wizard() override { return m_wizard; }
    QString formName() const override { return QStringLiteral("frmWells"); }
    QString fileBoxName() const override { return QStringLiteral("txtWEDataFile"); }
    QString folderButtonName() const override { return QStringLiteral("imgWEDataFile"); }
    QString fileFrameTitle() const override { return QStringLiteral("Specify well data file"); }
    QString fieldsIntro() const override;
    QWidget *buildIntroduction() const override;
    bool hasMapWells() const override { return true; }
    bool mapWellsEnabled() override { return m_wizard.mapWellsEnabled; }

    void open() override { openWellsWizard(session(), m_wizard); }
    void formatClicked(int index) override { wellsFormatClicked(session(), m_wizard, index); }
    void folderClicked() override { wellsFolderClicked(session(), m_wizard); }
    void sheetClicked(int index) override { wellsSheetClicked(session(), m_wizard, index); }
    void readDataClicked() override { wellsReadDataClicked(session(), m_wizard); }
    void finishedEditingClicked() override { wellsFinishedEditingClicked(session(), m_wizard); }
    void mapWellsClicked() override;
    void next() override { wellsNext(session(), m_wizard); }
    void back() override { wellsBack(session(), m_wizard); }
    void showState() override;

private:
    WellsWizard m_wizard;
    std::array<QComboBox *, 3> m_lists {}; // by WellField
};

// frmWldata's part: the counts of sample dates and wells.
class WaterLevelWizardFields : public ImportWizardFields {
    Q_OBJECT
public:
    explicit WaterLevelWizardFields(Session &session);

    ImportWizard &wizard() override { return m_wizard; }
    QString formName() const override { return QStringLiteral("frmWldata"); }
    QString fileBoxName() const override { return QStringLiteral("txtWLdataFile"); }
    QString folderButtonName() const override { return QStringLiteral("imgWLDataFile"); }
    QString fileFrameTitle() const override { return QStringLiteral("Specify water level data file"); }
    QString fieldsIntro() const override;
    QWidget *buildIntroduction() const override;

    void open() override { openWaterLevelWizard(session(), m_wizard); }
    void formatClicked(int index) override { waterLevelsFormatClicked(session(), m_wizard, index); }
    void folderClicked() override { waterLevelsFolderClicked(session(), m_wizard); }
    void sheetClicked(int index) override { waterLevelsSheetClicked(session(), m_wizard, index); }
    void readDataClicked() override { waterLevelsReadDataClicked(session(), m_wizard); }
    void finishedEditingClicked() override { waterLevelsFinishedEditingClicked(session(), m_wizard); }
    void next() override { waterLevelsNext(session(), m_wizard); }
    void back() override { waterLevelsBack(session(), m_wizard); }
    void showState() override;

private:
    WaterLevelWizard m_wizard;
    QLineEdit *m_numDates = nullptr;
    QLineEdit *m_numWells = nullptr;
};

} // namespace qel::gui
