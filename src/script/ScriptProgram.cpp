#include "script/ScriptProgram.h"

#include "script/ScriptNodes.h"

namespace tscript {

TRoutine::TRoutine() = default;
TRoutine::~TRoutine() = default;

int TRoutine::MinArgs() const
{
    int n = 0;
    for (const TParam& p : params)
        if (!p.hasDefault)
            ++n;
    return n;
}

TProgram::TProgram() = default;
TProgram::~TProgram() = default;

TScriptType* TProgram::NewType()
{
    m_types.push_back(std::make_unique<TScriptType>());
    return m_types.back().get();
}

TSymbol* TProgram::NewSymbol()
{
    m_symbols.push_back(std::make_unique<TSymbol>());
    return m_symbols.back().get();
}

TRoutine* TProgram::NewRoutine()
{
    m_routines.push_back(std::make_unique<TRoutine>());
    return m_routines.back().get();
}

} // namespace tscript
