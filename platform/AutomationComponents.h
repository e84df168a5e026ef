#pragma once
// The interfaces of the vendor automation components, as far as the programs
// call them. Each member stands for a late-bound property read or method call
// and may throw platform::Error as the component's own failure would. Every
// interface names the ProgID its objects are created under. Members the
// programs call on only some objects have a body that fails with error 438,
// as calling a member an object lacks does.
#include "platform/Automation.h"
#include "platform/AutomationQuellmark.h"

#include <QList>
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
    // Chooses the file and sample that the other members describe.
    virtual void setFileNameAndIndex(const QString& file, qint32 sample, qint16, qint16, qint16) { notSupported(); }
    virtual qint32 getNumberOfSamples() { notSupported(); }
    virtual QString GetSampleName() { notSupported(); }
    virtual bool isMSMS() { notSupported(); }
};

// "SorvexForSciex.ProcessingParameters": the settings of one export.
class WiffProcessingParameters : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "SorvexForSciex.ProcessingParameters";
    virtual void SetInfoFromRegistry() { notSupported(); }
    virtual void setDefaultChargeStates(qint16 charge, qint16 value) { notSupported(); }
    virtual void setDDESurveyHtPerc(double) { notSupported(); }
    virtual void setDDESurveyMergeDist(double) { notSupported(); }
    virtual void setMSMSAveNeedXPeaks(qint16) { notSupported(); }
    virtual void setMSMSAveMinPrecursor(double) { notSupported(); }
    virtual void setMSMSAveMaxPrecursor(double) { notSupported(); }
    virtual void setMSMSAvePrecursorTol(double) { notSupported(); }
    virtual void setMSMSAveMaxCycBetween(qint16) { notSupported(); }
    virtual void setMSMSAveMinCyclesPerGp(qint16) { notSupported(); }
    virtual void setMSMSCentroidEnable(qint16) { notSupported(); }
    virtual void setMSMSCentroidHtPerc(double) { notSupported(); }
    virtual void setMSMSCentroidMergeDist(double) { notSupported(); }
    virtual void setMSMSThresholdPerc(double) { notSupported(); }
    virtual void setDDEAutoDetermineCharge(qint16) { notSupported(); }
    virtual void setDiscardHighCharges(qint16) { notSupported(); }
    virtual void setMSMSSmoothCentroid(bool) { notSupported(); }
    virtual void setMSMSDeisotope(bool) { notSupported(); }
};
using WiffParametersPtr = std::shared_ptr<WiffProcessingParameters>;

// "SorvexForSciex.Options4Tavrel": the newer library's own options.
class WiffOptions4Tavrel : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "SorvexForSciex.Options4Tavrel";
    virtual void Set_Params_Strings(const QString& values, const QString& keys) { notSupported(); }
    virtual WiffParametersPtr Get_Params_Object() { notSupported(); }
};

// "SorvexForSciex.MExportMSToSorvex": exports one sample of MS data.
class WiffExportMS : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "SorvexForSciex.MExportMSToSorvex";
    virtual void DoExportFile(const QString& file, qint32 sample, const WiffParametersPtr& parameters) {
        notSupported();
    }
    virtual QString getResultString() { notSupported(); }
};

// "SorvexForSciex.MExportMSMSToSorvex": exports MS/MS data (-1: every sample).
class WiffExportMSMS : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "SorvexForSciex.MExportMSMSToSorvex";
    virtual void DoExport(const QString& file, qint32 sample, const WiffParametersPtr& parameters,
                          const AutomationObjectPtr& none, qint16 flag) {
        notSupported();
    }
    virtual QString getResultString() { notSupported(); }
};

// The objects of the Data Explorer automation server below its application.
class DataExplorerSpecSetup : public virtual AutomationObject {
public:
    virtual void setNoiseFilterCoefficient(double) { notSupported(); }
    virtual void setSmoothFilterWidth(double) { notSupported(); }
    virtual void setNoiseReductionStdev(double) { notSupported(); }
    virtual void setPeakFilterType(qint16) { notSupported(); }
    virtual void setPeakFilterChargeState(qint16) { notSupported(); }
};

// One row of a peak table holds seven values: [2] the mass, [3] the intensity.
using DataExplorerPeakTable = QList<QList<double>>;

class DataExplorerSpecView : public virtual AutomationObject {
public:
    // 1 and 2 MS spectra, 3 and 4 MS/MS (PSD) spectra.
    virtual qint16 SpectrumType() { notSupported(); }
    virtual void CorrectBaseline() { notSupported(); }
    virtual void FilterNoise(qint16 kind) { notSupported(); }
    virtual void FilterPeaks() { notSupported(); }
    // Fills the table and answers the number of peaks.
    virtual qint32 GetPeakData(qint16, qint16, qint16, qint16, DataExplorerPeakTable& table) { notSupported(); }
};

class DataExplorerDocument : public virtual AutomationObject {
public:
    virtual qint32 CollectionCount() { notSupported(); }  // Collection.Count
    virtual std::shared_ptr<DataExplorerSpecView> SpecView() { notSupported(); }
    virtual std::shared_ptr<DataExplorerSpecSetup> SpecSetup() { notSupported(); }
    // InstrumentSettings.GetSetting: (14, 0) fills the PSD precursor mass.
    virtual void GetSetting(qint16 setting, qint16 index, double& value) { notSupported(); }
    virtual void RunAssignedMacro(qint16 button) { notSupported(); }
    virtual QString SampleComments() { notSupported(); }  // sample.Comments
    virtual QString SampleName() { notSupported(); }      // sample.Name
    virtual void Close() { notSupported(); }
};

// "SorvexForSciex.Options4Tavrel": the options object of a Sciex library that
// carries its own (version "...b25" and later). Values and keys are texts the
// library reads back as it wrote them.
// "DataExplorer.Application": the Data Explorer automation server.
class DataExplorerApplication : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "DataExplorer.Application";
    virtual void setRestoreSettingsFromFile(bool) { notSupported(); }
    virtual void setEnableProcessingHistory(bool) { notSupported(); }
    // Documents.Open
    virtual std::shared_ptr<DataExplorerDocument> OpenDocument(const QString& path) { notSupported(); }
};

// "TS2SorvexDLL.TS2Sorvex": the AB 4000 Series export object.
class TS2Sorvex : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "TS2SorvexDLL.TS2Sorvex";
    virtual QString DllVersion() = 0;
    virtual void set_minMass(double) { notSupported(); }
    virtual void set_maxMass(double) { notSupported(); }
    virtual void set_S2N(double) { notSupported(); }
    virtual void set_Monoisotopic(double) { notSupported(); }
    virtual void set_Descriptor(const QString&) { notSupported(); }
    virtual void set_JobRunID(const QString&) { notSupported(); }
    virtual void set_JobRunItemID(const QString&) { notSupported(); }
    virtual void set_AllSpectra(const QString&) { notSupported(); }
    virtual void set_MSType(const QString&) { notSupported(); }
    virtual bool Connect() { notSupported(); }
    virtual bool DoExport(const QString& outputPath) { notSupported(); }
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
