#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace perikon {

// The component's public classes by name ("Perikon.IClsCommon", ...). Each class registers itself
// from its own source file with PERIKON_REGISTER_CLASS; hosts create objects through
// perikon_create_object.
class ClassRegistry
{
public:
    using Factory = std::function<QObject *()>;

    static bool registerClass(const QString &progId, Factory factory);
    // A new object owned by the caller, or nullptr for an unknown name.
    static QObject *create(const QString &progId);
    static QStringList names();
};

} // namespace perikon

#define PERIKON_REGISTER_CLASS(progId, Type)                                                       \
    namespace {                                                                                    \
    [[maybe_unused]] const bool registered_##Type = ::perikon::ClassRegistry::registerClass(       \
        QStringLiteral(progId), []() -> QObject * { return new Type; });                           \
    }
