// The root class and its run-time class information.
#pragma once

namespace classlib {
struct RuntimeClass {
    const char* name;
    const RuntimeClass* base;  // NULL for CObject
    bool IsDerivedFrom(const RuntimeClass& other) const;
};
}  // namespace classlib

// Declares run-time class information for cls with the given base; put it at
// the top of the class body (it leaves the access at public).
#define CLASSLIB_RUNTIME_CLASS(cls, basecls)                                   \
public:                                                                        \
    static const ::classlib::RuntimeClass& StaticClass()                       \
    {                                                                          \
        static const ::classlib::RuntimeClass info{#cls, &basecls::StaticClass()}; \
        return info;                                                           \
    }                                                                          \
    const ::classlib::RuntimeClass& GetRuntimeClass() const override { return StaticClass(); }

class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    virtual ~CObject() = default;

    static const classlib::RuntimeClass& StaticClass();
    virtual const classlib::RuntimeClass& GetRuntimeClass() const { return StaticClass(); }
    bool IsKindOf(const classlib::RuntimeClass& cls) const
    {
        return GetRuntimeClass().IsDerivedFrom(cls);
    }
};
