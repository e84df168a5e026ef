#pragma once
// The "&Parameter Editor" tab: the controls of one search parameter set,
// bound to the ParameterEditor model, and the file commands (New, Open,
// Save, Save As, recent files) that the main window's File menu and the
// page's own buttons run. The main window embeds the page, builds its
// recent-file menu from recentFilesChanged and asks queryClose() before it
// closes.
#include "params/ParameterEditor.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tavrel {

class PathLabel;

class ParameterEditorPage : public QWidget {
    Q_OBJECT
public:
    explicit ParameterEditorPage(QWidget* parent = nullptr);
    // With its own environment (tests).
    ParameterEditorPage(ParameterEditor::Environment environment, QWidget* parent = nullptr);

    bool ParameterSetChanged() const { return editor_.parameterSetChanged(); }
    // Full path of the current file, or "Untitled" (the tag of lblParamPfile).
    QString currentFile() const { return editor_.currentFile(); }
    QStringList recentFiles() const { return recentFiles_; }
    const ParameterEditor& model() const { return editor_; }

    // The commands. The Boolean results are those the menus and the close
    // question rely on; paths are in and out.
    bool NewParameterForm();
    bool modGlobal_FileNew();
    bool modGlobal_FileOpen();
    bool modGlobal_FileSave(QString& path);
    bool modGlobal_AskSaveChanges(QString& path);
    // The main window's close: True when it may go on.
    bool queryClose();

public slots:
    // Start-up and the File menu.
    void OpenParameterFile(const QString& path);
    void modGlobal_LoadRecentFileMenu();
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuRecentFile_Click(const QString& path);

signals:
    void currentFileChanged(const QString& path);
    void parameterSetChangedChanged(bool changed);
    void recentFilesChanged(const QStringList& paths);

public:
    // Frame "Parameter set".
    QPushButton* cmdParamNew;
    QPushButton* cmdParamOpen;
    QPushButton* cmdParamSave;
    QPushButton* cmdParamSaveAs;
    QLabel* lblParamFilename;
    PathLabel* lblParamPfile;
    // Frame "All Searches".
    QLineEdit* txtParamCOM;
    QLineEdit* txtParamUSERNAME;
    QLineEdit* txtParamUSEREMAIL;
    QListWidget* lstParamDB;
    QListWidget* lstParamMODS;
    QListWidget* lstParamIT_MODS;
    QPushButton* cmdParamMODS;
    QLineEdit* txtParamSEG;
    QLineEdit* txtParamTOL;
    QComboBox* cboParamTOLU;
    QComboBox* cboParamPFA;
    QComboBox* cboParamCLE;
    std::array<QRadioButton*, 2> optParamMASS;
    QCheckBox* chkParamSEARCH;
    QComboBox* cboParamCHARGE;
    QComboBox* cboParamREPORT;
    QComboBox* cboParamTAXONOMY;
    QCheckBox* chkParamDECOY;
    // Frame "MS/MS".
    QLabel* lblParamFORMAT;
    QComboBox* cboParamFORMAT;
    QLabel* lblParamITOL;
    QLineEdit* txtParamITOL;
    QComboBox* cboParamITOLU;
    QLabel* lblParamINSTRUMENT;
    QComboBox* cboParamINSTRUMENT;
    QLabel* lblParamPEP_ISOTOPE_ERROR;
    QComboBox* cboParamPEP_ISOTOPE_ERROR;
    QLabel* lblParamQUANTITATION;
    QComboBox* cboParamQUANTITATION;
    QCheckBox* chkParamERRORTOLERANT;

private:
    void buildControls();
    QWidget* buildParameterSetFrame();
    QWidget* buildAllSearchesFrame();
    QWidget* buildMsmsFrame();
    void connectControls();

    // Runs one step on the model, then mirrors it onto the widgets, shows
    // what it had to say and tells the main window what changed.
    void act(const std::function<void()>& step);
    void showState();
    void showMessages();
    void announce();

    bool editorTabShown() const;
    void cmdParamMODS_Click();
    void lstParamDB_Click();
    void addRecentFile(const QString& path);

    ParameterEditor editor_;
    QStringList recentFiles_;
    QString announcedFile_;
    bool announcedChanged_ = false;
};

}  // namespace tavrel
