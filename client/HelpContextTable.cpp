// The help context numbers of the client's windows. They are fixed: the help
// pages' anchors are these numbers. Within a block the counter's decimal
// digits are read as a hexadecimal offset, so no offset shows a digit A to F.
#include "client/HelpContext.h"

#include <QHash>

namespace tavrel {

namespace {

struct Entry {
    const char* control;
    int id;
};

const Entry kMain[] = {
    {"cboParamCHARGE", 4097}, {"cboParamCLE", 4098}, {"lstParamDB", 4099}, {"cboParamFORMAT", 4100},
    {"cboParamINSTRUMENT", 4101}, {"cboParamITOLU", 4102}, {"cboParamPFA", 4104}, {"cboParamREPORT", 4105},
    {"cboParamTAXONOMY", 4112}, {"cboParamTOLU", 4113}, {"cboTaskFilter", 4114}, {"cboTaskFU", 4115},
    {"cboTaskFUInterval", 4116}, {"cboTaskFUNumber", 4117}, {"cboTaskFUTask", 4118}, {"chkParamSEARCH", 4121},
    {"chkTaskAutoPrint", 4128}, {"chkTaskFUDiscard", 4129}, {"chkTaskFUMove", 4130}, {"chkTaskFURepeat", 4131},
    {"chkTaskNewOnly", 4132}, {"chkTaskSubDir", 4133}, {"cmdParamNew", 4134}, {"cmdParamOpen", 4135},
    {"cmdParamSave", 4136}, {"cmdParamSaveAs", 4137}, {"cmdStatusCancel", 4144}, {"cmdStatusClone", 4145},
    {"cmdStatusDelete", 4146}, {"cmdStatusPause", 4147}, {"cmdStatusRefresh", 4148}, {"cmdStatusResume", 4149},
    {"cmdTaskBrowse", 4150}, {"cmdTaskExternal", 4151}, {"cmdTaskFileAdd", 4152}, {"cmdTaskFileDelete", 4153},
    {"cmdTaskFolderAdd", 4160}, {"cmdTaskNew", 4161}, {"cmdTaskOptions", 4162}, {"cmdTaskParamAdd", 4163},
    {"cmdTaskRun", 4164}, {"dlgFile", 4165}, {"dtpTaskDate", 4166}, {"dtpTaskTime", 4167},
    {"lstParamIT_MODS", 4169}, {"lstParamMODS", 4176}, {"lstTaskFiles", 4177}, {"lvwEvent", 4178},
    {"lvwStatus", 4179}, {"mnuAction", 4180}, {"mnuActionCancel", 4181}, {"mnuActionClone", 4182},
    {"mnuActionDelete", 4183}, {"mnuActionPause", 4184}, {"mnuActionResume", 4185}, {"mnuEdit", 4192},
    {"mnuEditADO", 4193}, {"mnuEditClear", 4194}, {"mnuEditCopy", 4195}, {"mnuEditCut", 4196},
    {"mnuEditPaste", 4197}, {"mnuEditPreferences", 4198}, {"mnuEditRefresh", 4199}, {"mnuFile", 4200},
    {"mnuFileExit", 4201}, {"mnuFileNew", 4208}, {"mnuFileOpen", 4209}, {"mnuFilePrint", 4210},
    {"mnuFileSave", 4211}, {"mnuFileSaveAs", 4212}, {"mnuHelp", 4213}, {"mnuHelpAbout", 4214},
    {"mnuHelpHelp", 4215}, {"mnuRecentFile", 4216}, {"optParamMASS", 4217}, {"optTaskSched(0)", 4225},
    {"optTaskSched(1)", 4226}, {"optTaskSched(2)", 4227}, {"optTaskSched(3)", 4228}, {"tabMain", 4229},
    {"tvwStatus", 4230}, {"txtParamCOM", 4231}, {"txtParamITOL", 4232}, {"cboParamPEP_ISOTOPE_ERROR", 4233},
    {"txtParamSEG", 4240}, {"txtParamTOL", 4241}, {"txtParamUSEREMAIL", 4242}, {"txtParamUSERNAME", 4243},
    {"txtTaskFUScore", 4244}, {"txtTaskLabel", 4245}, {"txtTaskParam", 4246}, {"txtTaskPath", 4247},
    {"txtTaskWild", 4248}, {"chkTaskMergeFiles", 4352}, {"cboTaskOwner", 4353}, {"cboTaskSearchPriority", 4354},
    {"cboParamQUANTITATION", 4356}, {"chkParamDECOY", 4357}, {"chkParamERRORTOLERANT", 4358},
};

const Entry kPreferences[] = {
    {"cboAccessType", 24577}, {"cmdADODialog", 24578}, {"cmdCancel", 24579}, {"cmdLCQPath", 24580},
    {"cmdRestore", 24581}, {"cmdSave", 24582}, {"optProtocol", 24584}, {"tabPreferences", 24585},
    {"txtADOConnect", 24592}, {"txtFollowerActionDelay", 24593}, {"txtLcq", 24594}, {"txtLockedOutDelay", 24595},
    {"txtMonitorActionDelay", 24596}, {"txtNoDataDelay", 24597}, {"txtProxy", 24598},
    {"txtTaskCheckInterval", 24599}, {"txtTimeout", 24600}, {"txtTimerTick", 24601}, {"txtUrl", 24608},
    {"cmdPeakListRoot", 24609}, {"txtPeakListRoot", 24610}, {"txtSorvexUserName", 24611},
    {"txtSorvexPassword", 24611}, {"txtProxyUserName", 24612}, {"txtProxyPassword", 24612},
    {"txtWebUserName", 24612}, {"txtWebPassword", 24612},
};

const Entry kOdbc[] = {{"cmdOK", 16385}, {"lstODBC", 16386}};

using Table = QHash<QString, int>;

Table makeTable(const Entry* begin, const Entry* end) {
    Table t;
    for (const Entry* e = begin; e != end; ++e) t.insert(QLatin1String(e->control), e->id);
    return t;
}

const QHash<QString, Table>& tables() {
    static const QHash<QString, Table> all = {
        {QStringLiteral("frmMain"), makeTable(std::begin(kMain), std::end(kMain))},
        {QStringLiteral("frmPreferences"), makeTable(std::begin(kPreferences), std::end(kPreferences))},
        {QStringLiteral("frmODBC"), makeTable(std::begin(kOdbc), std::end(kOdbc))},
    };
    return all;
}

}  // namespace

const QList<HelpWindow>& helpWindows() {
    static const QList<HelpWindow> windows = {
        {"frmMain", 4096},     {"frmActions", 8192}, {"frmChooseParamSetLabel", 12288}, {"frmODBC", 16384},
        {"frmOptions", 20480}, {"frmPreferences", 24576}, {"frmSplash", 28672},
    };
    return windows;
}

int helpContextId(const QString& window, const QString& control) {
    const auto table = tables().constFind(window);
    if (table == tables().constEnd()) return 0;
    if (const auto own = table->constFind(control); own != table->constEnd()) return *own;
    const qsizetype paren = control.indexOf(QLatin1Char('('));
    if (paren > 0) return table->value(control.left(paren), 0);
    return 0;
}

}  // namespace tavrel
