#pragma once
// The interfaces of the vendor automation components, as far as the programs
// call them. Each member stands for a late-bound property read or method call
// and may throw platform::Error as the component's own failure would. Every
// interface names the ProgID its objects are created under.
#include "platform/Automation.h"

#include <QString>
#include <QVariantList>

#include <memory>

namespace platform::automation {

// "SorvexForSciex.WiffFileInfo" of the Sciex .WIFF import library ("sorvex.dll").
class WiffFileInfo : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "SorvexForSciex.WiffFileInfo";
    // The library's version text, for example "1.6b25".
    virtual QString DllVersion() = 0;
};

// "SorvexForSciex.Options4Tavrel": the options object of a Sciex library that
// carries its own (version "...b25" and later). Values and keys are texts the
// library reads back as it wrote them.
// "DataExplorer.Application": the Data Explorer automation server.
class DataExplorerApplication : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "DataExplorer.Application";
};

// "TS2SorvexDLL.TS2Sorvex": the AB 4000 Series export object.
class TS2Sorvex : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "TS2SorvexDLL.TS2Sorvex";
    virtual QString DllVersion() = 0;
};

// The data browser of the same object, as the task editor's "Add Files ..."
// uses it for the 4000 Series filter.
class TS2SorvexDataBrowser : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "TS2SorvexDLL.TS2Sorvex";
    // Modal: true when the user confirmed a choice of data sets.
    virtual bool ShowDataBrowser() = 0;
    // The data sets chosen, as the library's descriptors separated by the character 0.
    virtual QString DescriptorList() = 0;
};

// "QELD.Quellmark": the Quellmark library's top object.
class QuellmarkLibrary : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.Quellmark";
    // The library's version numbers, most significant first (for example 2, 3, 0, 1).
    virtual QVariantList Version() = 0;
};

// "QELD.AgentMgr": the Quellmark session that the library's other objects take
// as their Session.
class QuellmarkAgentMgr : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.AgentMgr";
};

// "QELD.DataSourceCollection": the raw-data sources of the Quellmark library.
class QuellmarkDataSourceCollection : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.DataSourceCollection";
    // The Session property: the session object the collection works in.
    virtual void setSession(std::shared_ptr<QuellmarkAgentMgr> session) = 0;
    // The data-format codes the library reads, and the label of one of them.
    virtual QVariantList FormatsSupported() = 0;
    virtual QString GetFormatLabel(qint32 formatCode) = 0;
};

// The MSMS property of a processing-options object.
class QuellmarkMSMSOptions : public virtual AutomationObject {
public:
    virtual double PrecursorMZTolerance() = 0;
};

// "QELD.ProcessingOptions": the peak-picking settings of a processing options
// file (".opt"); the file's format is the library's own.
class QuellmarkProcessingOptions : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.ProcessingOptions";
    virtual void LoadFromFile(const QString& path) = 0;
    virtual void SaveToFile(const QString& path) = 0;
    // Answers only on an object that holds settings (after a load).
    virtual std::shared_ptr<QuellmarkMSMSOptions> MSMS() = 0;
};

// "QELDPROPS.ProcOptsSheet": the library's settings sheet for processing options.
class QuellmarkProcOptsSheet : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELDPROPS.ProcOptsSheet";
    // Modal: the user edits the options object in place; returns when the
    // sheet is closed. The object is passed by reference.
    virtual void ShowStdModalDialog(std::shared_ptr<QuellmarkProcessingOptions>& options, const QString& name) = 0;
};

// "SorvexForSciex.Options4Tavrel": the own options object of a newer Sciex
// .WIFF import library, with its own options window.
class SciexOptions4Tavrel : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "SorvexForSciex.Options4Tavrel";
    // Puts the library's default options into Params_Values and Params_Keys.
    virtual void Set_Params_String_Defaults() = 0;
    virtual void Set_Params_Strings(QString& values, QString& keys) = 0;
    // Modal: returns when the user has closed the library's options window.
    virtual void Options_Form_Show() = 0;
    virtual QString Params_Keys() = 0;
    virtual QString Params_Values() = 0;
};

// Creates an object of interface T under T's own ProgID.
template <class T>
std::shared_ptr<T> create() {
    return CreateObjectAs<T>(QString::fromLatin1(T::kProgId));
}

}  // namespace platform::automation
