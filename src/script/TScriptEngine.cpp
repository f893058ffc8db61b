#include "script/TScriptEngine.h"

#include "script/ScriptNodes.h"
#include "script/ScriptStdLib.h"
#include "script/TScriptParser.h"
#include "script/TScriptPreprocessor.h"

namespace {

using namespace tscript;

TScriptMessage MakeMessage(TScriptMessage::TKind aKind, const std::vector<QString>& aFiles,
                           const TSrcPos& aPos, const QString& aText)
{
    TScriptMessage m;
    m.kind = aKind;
    if (aPos.file >= 0 && size_t(aPos.file) < aFiles.size())
        m.file = aFiles[size_t(aPos.file)];
    m.line = aPos.line;
    m.column = aPos.col;
    m.text = aText;
    return m;
}

bool HostType(const TScriptType* aType)
{
    switch (aType->kind) {
    case TTypeKind::Integer:
    case TTypeKind::Float:
    case TTypeKind::Boolean:
    case TTypeKind::Char:
    case TTypeKind::String:
    case TTypeKind::Enum:
        return true;
    case TTypeKind::Set:
        return SetFitsMask(aType);
    default:
        return false;
    }
}

// A name the host gives: one identifier, no reserved word.
bool ValidName(const QString& aName, QString& aKey)
{
    try {
        const std::vector<TToken> toks = TScriptLexer::Tokenize(aName);
        if (toks.size() != 2 || !toks[0].IsPlainIdent())
            return false;
        aKey = toks[0].key;
        return true;
    } catch (const TCompileError&) {
        return false;
    }
}

void AppendRoutineNames(const TScope& aScope, QStringList& aNames)
{
    for (const TSymbol* sym : aScope.Symbols())
        if (sym->kind == TSymKind::Routine || sym->kind == TSymKind::Intrinsic)
            aNames << sym->name;
}

} // namespace

struct TScriptEngine::TImpl {
    TRegistration registration;
    QSet<QString> defines;
    qint64 stepLimit = 0;
    std::function<void()> yieldHook;
    int yieldIntervalMs = 50;

    QList<TScriptMessage> messages;
    TScriptMessage runError;
    std::unique_ptr<TProgram> program;
    bool compiled = false;

    bool compiling = false;
    bool running = false;
    TProgram* building = nullptr; // during the registration callback
    TRun* activeRun = nullptr;

    void Refuse(const QString& aText)
    {
        runError = TScriptMessage();
        runError.text = aText;
    }

    // Marks a compilation (or the registration alone) under way until the scope ends.
    struct TCompiling {
        TImpl& d;
        TCompiling(TImpl& aImpl, TProgram* aBuilding)
            : d(aImpl)
        {
            d.compiling = true;
            d.building = aBuilding;
        }
        ~TCompiling()
        {
            d.compiling = false;
            d.building = nullptr;
        }
        TCompiling(const TCompiling&) = delete;
        TCompiling& operator=(const TCompiling&) = delete;
    };
};

TScriptEngine::TScriptEngine()
    : d(std::make_unique<TImpl>())
{
}

TScriptEngine::~TScriptEngine() = default;

void TScriptEngine::SetRegistration(TRegistration aRegistration)
{
    d->registration = std::move(aRegistration);
}

void TScriptEngine::SetDefines(const QStringList& aSymbols)
{
    d->defines = QSet<QString>(aSymbols.begin(), aSymbols.end());
}

void TScriptEngine::SetStepLimit(qint64 aSteps)
{
    d->stepLimit = std::max<qint64>(0, aSteps);
}

void TScriptEngine::SetYieldHook(std::function<void()> aHook, int aIntervalMs)
{
    d->yieldHook = std::move(aHook);
    d->yieldIntervalMs = std::max(0, aIntervalMs);
}

bool TScriptEngine::IsCompiled() const
{
    return d->compiled;
}

const QList<TScriptMessage>& TScriptEngine::Messages() const
{
    return d->messages;
}

QStringList TScriptEngine::MessageLines() const
{
    QStringList lines;
    for (const TScriptMessage& m : d->messages)
        lines << m.ToString();
    return lines;
}

bool TScriptEngine::IsRunning() const
{
    return d->running;
}

QString TScriptEngine::ErrorText() const
{
    return d->runError.PlaceAndText();
}

const TScriptMessage& TScriptEngine::RunError() const
{
    return d->runError;
}

void TScriptEngine::Abort()
{
    if (!d->activeRun)
        return;
    d->activeRun->abortRequested = true;
    d->activeRun->stepLimit = 0;
    d->activeRun->checkAt = 0;
}

bool TScriptEngine::Compile(const QString& aText, const QString& aFileName)
{
    if (d->running || d->compiling) {
        const QString text =
            QStringLiteral("Compilation refusée : un script est en cours d'exécution");
        d->messages = {TScriptMessage{TScriptMessage::TKind::Error, QString(), 0, 0, text}};
        d->Refuse(text);
        return false;
    }
    const TImpl::TCompiling compiling(*d, d->building);

    d->messages.clear();
    d->compiled = false;
    d->program.reset();

    auto program = std::make_unique<TProgram>();
    program->hostScope = std::make_unique<TScope>(&SystemScope(), 0);
    TSourceFiles files;
    std::vector<std::pair<TSrcPos, QString>> warnings;
    auto warn = [&warnings](const TSrcPos& aPos, const QString& aText) {
        warnings.emplace_back(aPos, aText);
    };

    bool ok = true;
    if (d->registration) {
        d->building = program.get();
        try {
            d->registration(*this);
        } catch (const std::exception& e) {
            d->messages.append({TScriptMessage::TKind::Error, QString(), 0, 0,
                                QStringLiteral("Erreur pendant l'enregistrement des routines : ") %
                                    QString::fromUtf8(e.what())});
            ok = false;
        } catch (...) {
            d->messages.append({TScriptMessage::TKind::Error, QString(), 0, 0,
                                QStringLiteral("Erreur pendant l'enregistrement des routines")});
            ok = false;
        }
        d->building = nullptr;
    }
    TSrcPos errorPos;
    QString errorText;
    if (ok) {
        try {
            TScriptPreprocessor preprocessor(files, d->defines, warn);
            std::vector<TToken> tokens = preprocessor.Run(aText, aFileName);
            TScriptParser parser(*program, std::move(tokens), warn);
            parser.ParseProgram(program->hostScope.get());
        } catch (const TCompileError& e) {
            ok = false;
            errorPos = e.pos;
            errorText = e.text;
        } catch (const std::bad_alloc&) {
            ok = false;
            errorText = QStringLiteral("Mémoire insuffisante");
        } catch (const std::exception& e) {
            ok = false;
            errorText = QStringLiteral("Erreur interne : ") % QString::fromUtf8(e.what());
        }
        for (const auto& [pos, text] : warnings)
            d->messages.append(MakeMessage(TScriptMessage::TKind::Warning, files.names, pos, text));
        if (!ok)
            d->messages.append(
                MakeMessage(TScriptMessage::TKind::Error, files.names, errorPos, errorText));
    }
    if (!ok)
        return false;
    program->fileNames = files.names;
    d->program = std::move(program);
    d->compiled = true;
    return true;
}

bool TScriptEngine::Execute()
{
    if (d->running) {
        d->Refuse(QStringLiteral("Exécution refusée : un script est déjà en cours d'exécution"));
        return false;
    }
    if (d->compiling) {
        d->Refuse(QStringLiteral("Exécution refusée : compilation en cours"));
        return false;
    }
    d->runError = TScriptMessage();
    if (!d->compiled || !d->program) {
        d->Refuse(QStringLiteral("Aucun script compilé"));
        return false;
    }
    const TProgram& program = *d->program;
    d->running = true;
    // A copy: the hook may replace the engine's own while it runs.
    const std::function<void()> yieldHook = d->yieldHook;
    TRun run;
    struct TDone {
        TImpl& d;
        ~TDone()
        {
            d.running = false;
            d.activeRun = nullptr;
        }
    } done{*d};

    bool ok = true;
    try {
        if (d->stepLimit > 0 && program.globalCells > d->stepLimit)
            ThrowRun(TSrcPos{-1, 0, 0}, QStringLiteral("Limite d'exécution atteinte"));
        if (d->stepLimit > 0 && program.globalCells > d->stepLimit)
            ThrowRun(TSrcPos{-1, 0, 0}, QStringLiteral("Limite d'exécution atteinte"));
        std::vector<TVal> globals(size_t(program.globalCount));
        for (size_t k = 0; k < globals.size(); ++k)
            InitValue(globals[k], program.globalTypes[k]);
        for (const auto& [slot, value] : program.globalInits)
            globals[size_t(slot)] = value;
        TFrame global{globals.data(), nullptr};
        run.frame = &global;
        run.globals = globals.data();
        run.liveCells = program.globalCells;
        run.steps = program.globalCells;
        run.steps = program.globalCells;
        run.stackFloor = ComputeStackFloor();
        if (d->stepLimit > 0)
            run.stepLimit = d->stepLimit;
        if (yieldHook) {
            run.yieldHook = &yieldHook;
            run.yieldIntervalNs = qint64(d->yieldIntervalMs) * 1000000;
            run.lastYieldNs = MonotonicNs();
        }
        run.ScheduleCheck();
        d->activeRun = &run;
        program.main->Exec(run);
    } catch (const TRunError& e) {
        ok = false;
        d->runError = MakeMessage(TScriptMessage::TKind::Error, program.fileNames,
                                  e.hasPos ? e.pos : TSrcPos{-1, 0, 0}, e.text);
    } catch (const std::bad_alloc&) {
        ok = false;
        d->runError = TScriptMessage();
        d->runError.text = QStringLiteral("Mémoire insuffisante");
    } catch (const std::exception& e) {
        ok = false;
        d->runError = TScriptMessage();
        d->runError.text = QStringLiteral("Erreur interne : ") % QString::fromUtf8(e.what());
    }
    // Refusals of nested attempts do not outlive the run.
    if (ok)
        d->runError = TScriptMessage();
    return ok;
}

QStringList TScriptEngine::LibraryRoutineNames()
{
    QStringList names;
    AppendRoutineNames(SystemScope(), names);
    names.sort(Qt::CaseInsensitive);
    return names;
}

QStringList TScriptEngine::RoutineNames()
{
    QStringList names;
    AppendRoutineNames(SystemScope(), names);
    if (d->registration && !d->compiling) {
        TProgram scratch;
        scratch.hostScope = std::make_unique<TScope>(&SystemScope(), 0);
        // Marked as compiling so that a Compile from the callback is refused, as it would be
        // during a real compilation.
        const TImpl::TCompiling compiling(*d, &scratch);
        try {
            d->registration(*this);
        } catch (...) {
            // What was registered before the failure still counts.
        }
        AppendRoutineNames(*scratch.hostScope, names);
    }
    names.sort(Qt::CaseInsensitive);
    names.removeDuplicates();
    return names;
}

bool TScriptEngine::RegisterRoutine(const QString& aDeclaration, THostRoutine aImpl)
{
    if (!d->building || !aImpl)
        return false;
    TProgram& program = *d->building;
    try {
        TScriptParser parser(program, TScriptLexer::Tokenize(aDeclaration));
        QString key;
        TRoutine* routine = parser.ParseHeadingText(*program.hostScope, TRoutine::TKind::Host, key);
        for (const TParam& p : routine->params)
            if (p.ByRef() || !HostType(p.type))
                return false;
        if (routine->result && !HostType(routine->result))
            return false;
        routine->host = std::move(aImpl);
        TSymbol* sym = program.NewSymbol();
        sym->kind = TSymKind::Routine;
        sym->name = routine->name;
        sym->routine = routine;
        return program.hostScope->Add(key, sym);
    } catch (const TCompileError&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

bool TScriptEngine::RegisterConstant(const QString& aName, const QString& aTypeName,
                                     const TScriptValue& aValue)
{
    if (!d->building)
        return false;
    TProgram& program = *d->building;
    QString key, typeKey;
    if (!ValidName(aName, key) || !ValidName(aTypeName, typeKey))
        return false;
    const TSymbol* typeSym = program.hostScope->Find(typeKey);
    if (!typeSym || typeSym->kind != TSymKind::Type)
        return false;
    const TScriptType* t = typeSym->type;
    TVal v;
    switch (t->kind) {
    case TTypeKind::Integer:
    case TTypeKind::Enum:
        v.n.i = t->Normalize(aValue.ToInt());
        if (t->kind == TTypeKind::Enum && (v.n.i < t->low || v.n.i > t->high))
            return false;
        break;
    case TTypeKind::Boolean:
        v.n.i = aValue.ToBool();
        break;
    case TTypeKind::Float:
        v.n.f = aValue.ToDouble();
        break;
    case TTypeKind::String:
        v.s = aValue.ToString();
        t->FitText(v.s);
        break;
    case TTypeKind::Char: {
        const QString s = aValue.ToString();
        if (s.size() != 1)
            return false;
        v.n.i = s.at(0).unicode();
        break;
    }
    default:
        return false;
    }
    TSymbol* sym = program.NewSymbol();
    sym->kind = TSymKind::Const;
    sym->name = aName.trimmed();
    sym->type = t;
    sym->value = std::move(v);
    return program.hostScope->Add(key, sym);
}

bool TScriptEngine::RegisterType(const QString& aName, const QString& aDefinition)
{
    if (!d->building)
        return false;
    TProgram& program = *d->building;
    QString key;
    if (!ValidName(aName, key) || program.hostScope->FindLocal(key))
        return false;
    try {
        TScope members(program.hostScope.get(), 0);
        TScriptParser parser(program, TScriptLexer::Tokenize(aDefinition));
        const TScriptType* t = parser.ParseTypeText(members);
        for (auto it = members.Symbols().cbegin(); it != members.Symbols().cend(); ++it)
            if (it.key() == key || program.hostScope->FindLocal(it.key()))
                return false;
        if (t->name.isEmpty())
            const_cast<TScriptType*>(t)->name = aName.trimmed();
        TSymbol* sym = program.NewSymbol();
        sym->kind = TSymKind::Type;
        sym->name = aName.trimmed();
        sym->type = t;
        program.hostScope->Add(key, sym);
        for (auto it = members.Symbols().cbegin(); it != members.Symbols().cend(); ++it)
            program.hostScope->Add(it.key(), it.value());
        return true;
    } catch (const TCompileError&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}
