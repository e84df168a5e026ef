#pragma once
// The interfaces of the vendor automation components, as far as the programs
// call them. Each member stands for a late-bound property read or method call
// and may throw platform::Error as the component's own failure would. Every
// interface names the ProgID its objects are created under.
#include "platform/Automation.h"

#include <QString>
#include <QVariantList>

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
class SciexOptions4Tavrel : public virtual AutomationObject {
public:
    static constexpr const char* kProgId = "SorvexForSciex.Options4Tavrel";
    // Puts the library's default options into Params_Values and Params_Keys.
    virtual void Set_Params_String_Defaults() = 0;
    virtual QString Params_Values() = 0;
    virtual QString Params_Keys() = 0;
};

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

// Creates an object of interface T under T's own ProgID.
template <class T>
std::shared_ptr<T> create() {
    return CreateObjectAs<T>(QString::fromLatin1(T::kProgId));
}

}  // namespace platform::automation
