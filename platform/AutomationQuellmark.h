#pragma once
// The interfaces of the Quellmark library, as far as the programs call them:
// its session, data sources with their samples and scans, processing options
// and processing, output formats, file and project streams, projects and the
// search statuses a project keeps. Conventions as in AutomationComponents.h.
#include "platform/Automation.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <memory>

namespace platform::automation {

// "QELD.AgentMgr": the Quellmark session that the library's other objects take
// as their Session.
class QuellmarkAgentMgr : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.AgentMgr";
};
using QuellmarkSessionPtr = std::shared_ptr<QuellmarkAgentMgr>;

// A stream of the Quellmark library: a file stream, or one stream of a project.
class QuellmarkStream : public virtual AutomationObject {
public:
    virtual void Close() { notSupported(); }
};
using QuellmarkStreamPtr = std::shared_ptr<QuellmarkStream>;

// "Brellow.FileIOStream": a stream on a file; the mode is the library's code.
class QuellmarkFileIOStream : public virtual QuellmarkStream {
public:
    static constexpr const char* kProgId = "Brellow.FileIOStream";
    virtual void Open(const QString& path, qint32 mode) { notSupported(); }
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
    // Writes the settings into a project's stream.
    virtual void SaveToStream(const QuellmarkStreamPtr& stream) { notSupported(); }
};
using QuellmarkOptionsPtr = std::shared_ptr<QuellmarkProcessingOptions>;

// One scan of a sample: its id, and its time in the library's time units
// (the codes of the format options' TitleTimeUnits).
class QuellmarkScan : public virtual AutomationObject {
public:
    virtual qint32 id() { notSupported(); }
    virtual double time(qint16 units) { notSupported(); }
};

// The scans of the open sample, or a part of them.
class QuellmarkScans : public virtual AutomationObject {
public:
    virtual qint32 Count() { notSupported(); }
    // By position, 1 to Count.
    virtual std::shared_ptr<QuellmarkScan> Item(qint32 position) { notSupported(); }
    // The scans whose ids run from the first to the last given.
    virtual std::shared_ptr<QuellmarkScans> Subset(qint32 firstId, qint32 lastId) { notSupported(); }
};
using QuellmarkScansPtr = std::shared_ptr<QuellmarkScans>;

// What GetSampleInfo tells of one sample.
class QuellmarkSampleInfo : public virtual AutomationObject {
public:
    virtual QString SampleName() { notSupported(); }
    virtual QString Comment() { notSupported(); }
};

// "QELD.DataSourceParams": how text data (data-format code 0) is read.
class QuellmarkDataSourceParams : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.DataSourceParams";
    virtual void setScanType(qint32 type) { notSupported(); }
    virtual void setIsCentroided(const QString& centroided) { notSupported(); }
};
using QuellmarkSourceParamsPtr = std::shared_ptr<QuellmarkDataSourceParams>;

// "QELD.DataSourceCollection": the raw-data sources of the Quellmark library.
// Data-format codes are passed as the text of the option string.
class QuellmarkDataSourceCollection : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.DataSourceCollection";
    // The Session property: the session object the collection works in.
    virtual void setSession(std::shared_ptr<QuellmarkAgentMgr> session) = 0;
    // The data-format codes the library reads, and the label of one of them.
    virtual QVariantList FormatsSupported() = 0;
    virtual QString GetFormatLabel(qint32 formatCode) = 0;
    virtual qint32 GetSampleCount(const QString& format, const QString& path) { notSupported(); }
    virtual std::shared_ptr<QuellmarkSampleInfo> GetSampleInfo(const QString& format, const QString& path,
                                                               qint32 sample) {
        notSupported();
    }
    // Makes the sample the collection's current data; `params` only for text data.
    virtual void Open(const QString& format, const QString& path, qint32 sample,
                      const QuellmarkSourceParamsPtr& params) {
        notSupported();
    }
    virtual QuellmarkScansPtr Scans() { notSupported(); }
    virtual void CloseAll() { notSupported(); }
};
using QuellmarkSourcesPtr = std::shared_ptr<QuellmarkDataSourceCollection>;

// "QELD.PeakListFormatOptions": how processed peak lists are written.
class QuellmarkPeakListFormatOptions : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.PeakListFormatOptions";
    virtual void setFormat(qint16) { notSupported(); }
    virtual void setProcessingOptionsHeader(bool) { notSupported(); }
    virtual qint16 TitleTimeUnits() { notSupported(); }
    virtual void setTitleTimeUnits(qint16) { notSupported(); }
    virtual void setTitleIncludeScanLabel(bool) { notSupported(); }
    virtual void setTitleIncludeDataSourceName(bool) { notSupported(); }
    virtual void setTitlePrefixPeakListNumber(bool) { notSupported(); }
    // A 16-bit code, or the text of the option string.
    virtual void setPeptideIonsMassType(const QVariant&) { notSupported(); }
    virtual void setFragmentIonsMassType(const QVariant&) { notSupported(); }
    virtual void setSeparateMultiPrecursorCharges(bool) { notSupported(); }
    virtual void setAddQPLScansParameter(bool) { notSupported(); }
    virtual void setDechargeFragmentIons(bool) { notSupported(); }
    virtual void setAddQPLRawScansParameter(bool) { notSupported(); }
    virtual void setQPLUserParams(bool) { notSupported(); }
    virtual void setQPLSeparateRawFileParams(bool) { notSupported(); }
    virtual void setUseSNRatioAsIntensity(bool) { notSupported(); }
};
using QuellmarkFormatOptionsPtr = std::shared_ptr<QuellmarkPeakListFormatOptions>;

// The processing that CreatePeakLists starts; it runs on its own and is polled.
class QuellmarkProcessing : public virtual AutomationObject {
public:
    // The codes of Status.
    static constexpr qint32 Running = 0, Finished = 1, Cancelled = 2, Failed = 3, Unknown = -1;
    virtual qint32 Status() { notSupported(); }
    virtual void CancelProcessing() { notSupported(); }
    virtual void ExportPeakLists(const QuellmarkStreamPtr& stream, const QuellmarkFormatOptionsPtr& format) {
        notSupported();
    }
    virtual qint32 Count() { notSupported(); }
    // The formatted peak lists as lines of text.
    virtual QStringList MergeFormattedPeakData(const QuellmarkFormatOptionsPtr& format) { notSupported(); }
    // Raises the library's last error.
    virtual void GetLastError() { notSupported(); }
    virtual void SaveToStream(const QuellmarkStreamPtr& stream) { notSupported(); }
    virtual QuellmarkOptionsPtr ProcessingOptions() { notSupported(); }
};
using QuellmarkProcessingPtr = std::shared_ptr<QuellmarkProcessing>;

// "QELD.Quellmark": the Quellmark library's top object, which also runs the processing.
class QuellmarkLibrary : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.Quellmark";
    // The library's version numbers, most significant first (for example 2, 3, 0, 1).
    virtual QVariantList Version() = 0;
    virtual void setSession(const QuellmarkSessionPtr& session) { notSupported(); }
    virtual void setProcessingOptions(const QuellmarkOptionsPtr& options) { notSupported(); }
    // Starts processing the scans and returns without waiting.
    virtual QuellmarkProcessingPtr CreatePeakLists(const QuellmarkScansPtr& scans) { notSupported(); }
};

// A Quellmark project file. Stream modes: 1 reading, 2 writing.
class QuellmarkProject : public virtual AutomationObject {
public:
    virtual qint32 ControllerId() { notSupported(); }
    virtual QuellmarkStreamPtr OpenStream(qint16 mode, qint16 number) { notSupported(); }
    // Makes this program the project's controller.
    virtual void AcquireControl() { notSupported(); }
    virtual void Save() { notSupported(); }
};
using QuellmarkProjectPtr = std::shared_ptr<QuellmarkProject>;

// "QELD.QELDProjectManager": makes and opens project files.
class QuellmarkProjectManager : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.QELDProjectManager";
    virtual void setSession(const QuellmarkSessionPtr& session) { notSupported(); }
    virtual QuellmarkProjectPtr Create(const QString& path, qint16 kind, const QuellmarkSourcesPtr& sources) {
        notSupported();
    }
    virtual QuellmarkProjectPtr Open(const QString& path, qint32 mode) { notSupported(); }
};

// "QELD.SorvexSearchStatus": one search's entry in a project.
class QuellmarkSearchStatus : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.SorvexSearchStatus";
    virtual void setTaskId(const QString&) { notSupported(); }
    virtual void setTitle(const QString&) { notSupported(); }
    virtual void setServer(const QString&) { notSupported(); }
    virtual void setResultsFile(const QString&) { notSupported(); }
    virtual void setErrorCode(qint32) { notSupported(); }
    virtual void setStatusMsg(const QString&) { notSupported(); }
    virtual void setSubmittedAt(const QString&) { notSupported(); }
};
using QuellmarkSearchStatusPtr = std::shared_ptr<QuellmarkSearchStatus>;

// "QELD.SorvexSearchStatusCollection": the search entries a project keeps.
class QuellmarkSearchStatusCollection : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELD.SorvexSearchStatusCollection";
    virtual void LoadFromStream(const QuellmarkStreamPtr& stream) { notSupported(); }
    // Raises an error when the collection holds no entry of the task id.
    virtual QuellmarkSearchStatusPtr ItemByTaskId(const QString& taskId) { notSupported(); }
    virtual void Remove(const QString& taskId) { notSupported(); }
    virtual void Add(const QuellmarkSearchStatusPtr& entry) { notSupported(); }
    virtual void SaveToStream(const QuellmarkStreamPtr& stream) { notSupported(); }
};

// "QELDPROPS.ProcOptsSheet": the library's settings sheet for processing options.
class QuellmarkProcOptsSheet : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "QELDPROPS.ProcOptsSheet";
    // Modal: the user edits the options object in place; returns when the
    // sheet is closed. The object is passed by reference.
    virtual void ShowStdModalDialog(std::shared_ptr<QuellmarkProcessingOptions>& options, const QString& name) = 0;
};

}  // namespace platform::automation
