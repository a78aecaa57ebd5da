#include "script/cScriptCompiler.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "engine/core/Log.h"
#include "script/cFuncDef.h"
#include "script/cNamespace.h"
#include "script/cScript.h"
#include "script/cScriptEnv.h"
#include "script/cTypeDef.h"
#include "script/cVariable.h"
#include "script/sScriptString.h"

namespace velmora::script {

namespace {

// An error was recorded; the statement or declaration it occurred in is dropped.
struct sCompileAbort {};

bool IsAssignment(const std::string& op) { return op == "=" || op == "+=" || op == "-=" || op == "*=" || op == "/="; }

// Values that fit a 4-byte slot (what script functions take by value and return).
bool IsSlotType(const cTypeDef* type) {
    switch (type->GetId()) {
    case TYPE_BOOL:
    case TYPE_INT:
    case TYPE_FLOAT:
    case TYPE_TYPE:
    case TYPE_FUNCTION:
    case TYPE_ENUM: return true;
    default: return false;
    }
}

// Restores the loop depth however a loop body is left.
class cLoopScope {
public:
    explicit cLoopScope(std::int32_t& depth) : m_Depth(depth) { ++m_Depth; }
    ~cLoopScope() { --m_Depth; }
    cLoopScope(const cLoopScope&) = delete;
    cLoopScope& operator=(const cLoopScope&) = delete;

private:
    std::int32_t& m_Depth;
};

} // namespace

cScriptCompiler::cScriptCompiler(cScript& script, cMessageList& messages, cCodeTree<cCodeNode>& tree)
    : m_Script(script), m_Env(script.GetEnv()), m_Messages(messages), m_Tree(tree) {}

void cScriptCompiler::Fail(std::int32_t line, const char* format, ...) {
    char message[4096] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    m_Messages.Error(line, "%s", message);
    throw sCompileAbort();
}

// ---------------------------------------------------------------------------------------------------------------
// Scopes and types

void cScriptCompiler::PushNamespace(cNamespace* scope) { m_Namespaces.push_back(scope); }

void cScriptCompiler::PopNamespace() {
    if (m_Namespaces.empty()) {
        m_Messages.Fatal("cScriptCompiler::PopNamespace : stack underflow");
    }
    m_Namespaces.pop_back();
}

void cScriptCompiler::PushClass(cTypeDef* type) { m_Classes.push_back(type); }

void cScriptCompiler::PopClass() {
    if (m_Classes.empty()) {
        m_Messages.Fatal("cScriptCompiler::PopClass : stack underflow");
    }
    m_Classes.pop_back();
}

cNamespace* cScriptCompiler::Current() const {
    return m_Namespaces.empty() ? &m_Script.GetRoot() : m_Namespaces.back();
}

const cNamespace* cScriptCompiler::LookupScope() const { return m_Locals ? m_Locals : Current(); }

std::string cScriptCompiler::TypeText(const cTypeDef* type, bool isConst, bool isReference) const {
    return std::string(isConst ? "const " : "") + (type ? type->GetName() : "unknown") + (isReference ? "&" : "");
}

sTypeText cScriptCompiler::ResolveType(const cSyntaxNode* declaration) {
    sTypeText out;
    const cSyntaxNode* type = declaration->Child(1);
    out.isConst = declaration->Child(0) != nullptr;
    out.isReference = declaration->Child(2) != nullptr;
    out.type = type ? Current()->LookupType(type->text) : nullptr;
    if (!out.type) {
        Fail(declaration->line, "'%s' isn't a valid type", type ? type->text.c_str() : "");
    }
    return out;
}

std::vector<cScriptCompiler::sDeclarator> cScriptCompiler::Declarators(const cSyntaxNode* declaration) {
    std::vector<sDeclarator> out;
    out.push_back({declaration->Child(2), declaration->Child(3), declaration->Child(4)});
    for (std::size_t i = 5; i + 1 < declaration->children.size(); i += 3) {
        out.push_back({declaration->Child(i), declaration->Child(i + 1), declaration->Child(i + 2)});
    }
    return out;
}

void cScriptCompiler::WriteObjectHeader(const cTypeDef* type, std::uint8_t* storage) const {
    if (!type->IsClass() || !type->IsInheritedFrom(m_Env.GetObjectClass())) {
        return;
    }
    sObjectHeader header;
    header.type = type->GetIndex();
    header.size = type->GetSize();
    std::memcpy(storage, &header, sizeof(header));
}

// ---------------------------------------------------------------------------------------------------------------
// Declarations

cCodeNode* cScriptCompiler::CompileScript(const cSyntaxNode* root) {
    if (!root) {
        m_Messages.Fatal("cScriptCompiler::CompileScript : NULL-pointer to node");
    }
    static const struct {
        const char* symbol;
        std::int32_t intCode;
        std::int32_t floatCode;
        bool modifies;
        bool comparison;
    } kOperators[] = {{"=", OP_MOV, OP_MOVF, true, false},      {"+=", OP_MADD, OP_MADDF, true, false},
                      {"-=", OP_MSUB, OP_MSUBF, true, false},   {"*=", OP_MMUL, OP_MMULF, true, false},
                      {"/=", OP_MDIV, OP_MDIVF, true, false},   {"==", OP_EQ, OP_EQF, false, true},
                      {"!=", OP_NQ, OP_NQF, false, true},       {"<", OP_LT, OP_LTF, false, true},
                      {"<=", OP_LE, OP_LEF, false, true},       {">", OP_GT, OP_GTF, false, true},
                      {">=", OP_GE, OP_GEF, false, true},       {"+", OP_ADD, OP_ADDF, false, false},
                      {"-", OP_SUB, OP_SUBF, false, false},     {"*", OP_MUL, OP_MULF, false, false},
                      {"/", OP_DIV, OP_DIVF, false, false},     {"&", OP_BITAND, -1, false, false},
                      {"^", OP_BITXOR, -1, false, false},       {"|", OP_BITOR, -1, false, false}};
    cNamespace& scriptRoot = m_Script.GetRoot();
    if (!scriptRoot.HasOperators()) {
        const cTypeDef* types[] = {m_Env.GetIntType(), m_Env.GetFloatType()};
        for (const auto& entry : kOperators) {
            for (int f = 0; f < 2; ++f) {
                const std::int32_t code = f ? entry.floatCode : entry.intCode;
                if (code < 0) {
                    continue;
                }
                sOperator op;
                op.symbol = entry.symbol;
                op.opcode = code;
                op.left = op.right = types[f];
                op.result = entry.modifies ? m_Env.GetVoidType() : (entry.comparison ? m_Env.GetBoolType() : types[f]);
                op.modifiesLeft = entry.modifies;
                scriptRoot.AddOperator(op);
            }
        }
    }

    m_Namespaces.clear();
    for (const cSyntaxNode* item : root->children) {
        DeclareItem(item);
    }
    cCodeNode* program = NewNode(CNT_SCRIPT, root->line);
    for (const sPending& pending : m_Pending) {
        program->children.push_back(CompileFunction(pending));
    }
    return program;
}

void cScriptCompiler::DeclareItem(const cSyntaxNode* node) {
    if (!node) {
        return;
    }
    try {
        switch (node->type) {
        case SNT_NAMESPACE: {
            cNamespace* scope = Current()->AddNamespace(node->text);
            if (!scope) {
                Fail(node->line, "redefinition of '%s'", node->text.c_str());
            }
            PushNamespace(scope);
            for (const cSyntaxNode* item : node->children) {
                DeclareItem(item);
            }
            PopNamespace();
            break;
        }
        case SNT_CLASS: DeclareClass(node); break;
        case SNT_DECLARATION: {
            const cSyntaxNode* fifth = node->Child(4);
            if (fifth && fifth->type == SNT_FUNCTION_ARGUMENTS) {
                DeclareFunction(node);
                break;
            }
            const sTypeText type = ResolveType(node);
            for (const sDeclarator& declarator : Declarators(node)) {
                try {
                    DeclareGlobal(type, declarator, declarator.name ? declarator.name->line : node->line);
                } catch (const sCompileAbort&) {
                }
            }
            break;
        }
        default: break; // the syntax checker has reported it
        }
    } catch (const sCompileAbort&) {
    }
}

void cScriptCompiler::DeclareClass(const cSyntaxNode* node) {
    cNamespace* scope = Current();
    if (scope->HasSymbol(node->text)) {
        Fail(node->line, "redefinition of '%s'", node->text.c_str());
    }
    const cTypeDef* parent = nullptr;
    for (const cSyntaxNode* child : node->children) {
        if (!child || child->type != SNT_TYPE) {
            continue;
        }
        if (parent) {
            Fail(child->line, "'%s' : multiple inheritance isn't supported", node->text.c_str());
        }
        parent = scope->LookupType(child->text);
        if (!parent || !parent->IsClass() || !parent->IsComplete()) {
            Fail(child->line, "invalid superclass '%s'", child->text.c_str());
        }
    }
    cTypeDef* type = scope->AddType(std::make_unique<cTypeDef>(node->text, TYPE_CLASS, parent ? parent->GetSize() : 0,
                                                               eTypeKind::Class, parent));
    type->SetComplete(false);
    m_Env.AddType(type);
    PushClass(type);
    std::int32_t offset = type->GetSize();
    for (const cSyntaxNode* child : node->children) {
        if (child && child->type == SNT_DECLARATION) {
            try {
                DeclareMember(type, child, offset);
            } catch (const sCompileAbort&) {
            }
        }
    }
    type->SetSize(offset);
    type->SetComplete(true);
    PopClass();
}

void cScriptCompiler::DeclareMember(cTypeDef* type, const cSyntaxNode* member, std::int32_t& offset) {
    const cSyntaxNode* fifth = member->Child(4);
    if (fifth && fifth->type == SNT_FUNCTION_ARGUMENTS) {
        Fail(member->line, "'%s::%s' : methods defined in scripts aren't supported yet", type->GetName().c_str(),
             member->text.c_str());
    }
    const sTypeText fieldType = ResolveType(member);
    for (const sDeclarator& declarator : Declarators(member)) {
        const std::string& name = declarator.name->text;
        const std::int32_t line = declarator.name->line;
        if (type->HasOwnMember(name) || type->FindField(name) || type->FindMethod(name)) {
            m_Messages.Error(line, "'%s::%s' has already been defined", type->GetName().c_str(), name.c_str());
            continue;
        }
        if (fieldType.isReference || declarator.reference) {
            m_Messages.Error(line, "'%s::%s' : reference members aren't supported", type->GetName().c_str(),
                             name.c_str());
            continue;
        }
        if (fieldType.type->GetId() == TYPE_VOID || (fieldType.type->IsClass() && !fieldType.type->IsComplete())) {
            m_Messages.Error(line, "'%s::%s' : illegal use of type '%s'", type->GetName().c_str(), name.c_str(),
                             fieldType.type->GetName().c_str());
            continue;
        }
        if (declarator.initializer) {
            m_Messages.Error(line, "'%s::%s' : class members can't be initialized", type->GetName().c_str(),
                             name.c_str());
            continue;
        }
        if (static_cast<std::int64_t>(offset) + fieldType.type->GetSize() > std::numeric_limits<std::int32_t>::max() / 2) {
            m_Messages.Error(line, "'%s' : class is too big", type->GetName().c_str());
            continue;
        }
        LogMessage("Adding class field '%s::%s'...\n", type->GetName().c_str(), name.c_str());
        offset = cTypeDef::Align(offset, fieldType.type->GetAlignment());
        type->AddField(name, fieldType.type, fieldType.isConst, offset);
        offset += fieldType.type->GetSize();
    }
}

void cScriptCompiler::DeclareGlobal(const sTypeText& type, const sDeclarator& declarator, std::int32_t line) {
    cNamespace* scope = Current();
    const std::string& name = declarator.name->text;
    if (scope->HasSymbol(name)) {
        Fail(line, "redefinition of '%s'", name.c_str());
    }
    if (type.type->GetId() == TYPE_VOID || (type.type->IsClass() && !type.type->IsComplete())) {
        Fail(line, "'%s' : illegal use of type '%s'", name.c_str(), type.type->GetName().c_str());
    }
    const bool isReference = type.isReference || declarator.reference;
    if (isReference) {
        if (!declarator.initializer) {
            Fail(line, "reference '%s' must be initialized", name.c_str());
        }
        const cCodeNode* value = CompileValue(declarator.initializer);
        if (value->type != CNT_VARIABLE || value->operand.base == BASE_LOCALS ||
            value->operand.base == BASE_ARGUMENTS) {
            Fail(line, "initialization, variable expected");
        }
        if (!IsConvertible(value, type.type, true) || (value->isConst && !type.isConst)) {
            Fail(line, "initialization, can't convert from '%s' to '%s'",
                 TypeText(value->valueType, value->isConst, false).c_str(),
                 TypeText(type.type, type.isConst, true).c_str());
        }
        auto variable = std::make_unique<cVariable>(name, type.type, VAR_REFERENCE | (type.isConst ? VAR_CONST : 0));
        variable->SetLocation(value->operand);
        scope->AddVariable(std::move(variable));
        return;
    }
    if (type.isConst && !declarator.initializer) {
        Fail(line, "constant object '%s' must be initialized", name.c_str());
    }
    // The initializer must be known now: globals get their value at compile time.
    cCodeNode* value = nullptr;
    if (declarator.initializer) {
        m_Folding = true;
        try {
            value = CompileValue(declarator.initializer);
        } catch (...) {
            m_Folding = false;
            throw;
        }
        m_Folding = false;
        if (!value->IsConstant()) {
            Fail(line, "initialization, constant expected");
        }
        if (!IsConvertible(value, type.type, false)) {
            Fail(line, "initialization, can't convert from '%s' to '%s'", TypeText(value->valueType, false, false).c_str(),
                 TypeText(type.type, false, false).c_str());
        }
        m_Folding = true;
        value = Convert(value, type.type);
        m_Folding = false;
    }
    const std::int32_t size = type.type->GetSize();
    const std::int32_t offset = m_Script.GetMemory().Allocate(size, type.type->GetAlignment());
    if (offset < 0) {
        Fail(line, "'%s' : out of script memory, %d more bytes needed", name.c_str(), size);
    }
    auto variable = std::make_unique<cVariable>(name, type.type, type.isConst ? VAR_CONST : 0);
    sOperand location;
    location.base = BASE_SCRIPT;
    location.offset = offset;
    variable->SetLocation(location);
    std::uint8_t* storage = m_Script.GetMemory().GetData() + offset;
    if (value) {
        std::memcpy(storage, value->constant, static_cast<std::size_t>(size));
        if (type.isConst) {
            variable->SetValue(value->constant, static_cast<std::size_t>(size));
        }
    }
    WriteObjectHeader(type.type, storage);
    scope->AddVariable(std::move(variable));
}

void cScriptCompiler::DeclareFunction(const cSyntaxNode* node) {
    cNamespace* scope = Current();
    const std::string& name = node->text;
    if (scope->HasSymbol(name)) {
        Fail(node->line, "redefinition of '%s'", name.c_str());
    }
    if (!node->Child(5)) {
        Fail(node->line, "function prototypes aren't supported yet");
    }
    const sTypeText result = ResolveType(node);
    if (result.isReference || (result.type->GetId() != TYPE_VOID && !IsSlotType(result.type))) {
        Fail(node->line, "'%s' : return type '%s' isn't supported", name.c_str(),
             TypeText(result.type, false, result.isReference).c_str());
    }
    auto function = std::make_unique<cFuncDef>(name, result.type, false);
    for (const cSyntaxNode* argument : node->Child(4)->children) {
        const sTypeText type = ResolveType(argument);
        const std::string argumentName = argument->Child(3) ? argument->Child(3)->text : std::string();
        if (type.type->GetId() == TYPE_VOID || (type.type->IsClass() && !type.type->IsComplete())) {
            Fail(argument->line, "'%s' : illegal use of type '%s'", name.c_str(), type.type->GetName().c_str());
        }
        if (!type.isReference && !IsSlotType(type.type)) {
            Fail(argument->line, "'%s' : argument '%s' of type '%s' must be passed by reference", name.c_str(),
                 argumentName.c_str(), type.type->GetName().c_str());
        }
        sArgument entry;
        entry.type = type.type;
        entry.byReference = type.isReference;
        entry.isConst = type.isConst;
        entry.name = argumentName;
        function->AddArgument(entry);
    }
    const std::int32_t slot = m_Script.GetMemory().Allocate(4, 4);
    if (slot < 0) {
        Fail(node->line, "'%s' : out of script memory, %d more bytes needed", name.c_str(), 4);
    }
    cFuncDef* defined = function.get();
    const std::int32_t index = m_Env.AddFunction(defined);
    defined->SetIndex(index);
    std::memcpy(m_Script.GetMemory().GetData() + slot, &index, 4);
    auto variable = std::make_unique<cVariable>(name, m_Env.GetFunctionType(), VAR_CONST);
    sOperand location;
    location.base = BASE_SCRIPT;
    location.offset = slot;
    variable->SetLocation(location);
    variable->SetFunction(std::move(function));
    scope->AddVariable(std::move(variable));
    m_Script.AddScriptFunction(defined);
    m_Functions.push_back(defined);
    m_Pending.push_back({node, defined, scope});
}

// ---------------------------------------------------------------------------------------------------------------
// Function bodies and statements

cCodeNode* cScriptCompiler::NewNode(eCodeNodeType type, std::int32_t line, const std::string& text) {
    cCodeNode* node = m_Tree.AllocateNode();
    node->type = type;
    node->line = line;
    node->text = text;
    return node;
}

cCodeNode* cScriptCompiler::CompileFunction(const sPending& pending) {
    cFuncDef* function = pending.function;
    char scopeName[32];
    std::snprintf(scopeName, sizeof(scopeName), "local_%d", m_Script.NextLocalScopeId());
    function->SetLocalScope(std::make_unique<cNamespace>(scopeName, nullptr, pending.scope));
    m_Function = function;
    m_Locals = function->GetLocalScope();
    m_LoopDepth = 0;
    PushNamespace(pending.scope);

    const std::vector<sArgument>& arguments = function->GetArguments();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const sArgument& argument = arguments[i];
        if (argument.name.empty()) {
            continue;
        }
        if (m_Locals->HasSymbol(argument.name)) {
            m_Messages.Error(pending.declaration->line, "redefinition of local variable '%s::%s'",
                             m_Locals->GetName().c_str(), argument.name.c_str());
            continue;
        }
        auto variable = std::make_unique<cVariable>(
            argument.name, argument.type,
            VAR_ARGUMENT | (argument.isConst ? VAR_CONST : 0) | (argument.byReference ? VAR_REFERENCE : 0));
        sOperand location;
        location.base = BASE_ARGUMENTS;
        location.offset = function->GetArgumentOffset(i);
        location.indirect = argument.byReference;
        variable->SetLocation(location);
        m_Locals->AddVariable(std::move(variable));
    }

    cCodeNode* node = NewNode(CNT_FUNCTION, pending.declaration->line, function->GetName());
    node->function = function;
    for (const cSyntaxNode* statement : pending.declaration->Child(5)->children) {
        if (cCodeNode* compiled = CompileStatement(statement)) {
            node->children.push_back(compiled);
        }
    }
    PopNamespace();
    m_Function = nullptr;
    m_Locals = nullptr;
    return node;
}

cCodeNode* cScriptCompiler::CompileStatement(const cSyntaxNode* node) {
    if (!node) {
        return nullptr;
    }
    try {
        switch (node->type) {
        case SNT_STATEMENT_BLOCK: return CompileBlock(node);
        case SNT_DECLARATION: return CompileLocalDeclaration(node);
        case SNT_EXPRESSION: return CompileExpressionStatement(node);
        case SNT_IF: {
            cCodeNode* out = NewNode(CNT_IF, node->line, "if");
            out->children.push_back(CompileCondition(node->Child(0), node->line));
            const cSyntaxNode* then = node->Child(1);
            out->children.push_back(CompileStatementBody(then ? then->Child(0) : nullptr));
            const cSyntaxNode* otherwise = node->Child(2);
            out->children.push_back(CompileStatementBody(otherwise ? otherwise->Child(0) : nullptr));
            return out;
        }
        case SNT_WHILE: {
            cCodeNode* out = NewNode(CNT_WHILE, node->line, "while");
            out->children.push_back(CompileCondition(node->Child(0), node->line));
            cLoopScope loop(m_LoopDepth);
            out->children.push_back(CompileStatementBody(node->Child(1)));
            return out;
        }
        case SNT_DO: {
            cCodeNode* out = NewNode(CNT_DO, node->line, "do");
            {
                cLoopScope loop(m_LoopDepth);
                out->children.push_back(CompileStatementBody(node->Child(1)));
            }
            out->children.push_back(CompileCondition(node->Child(0), node->line));
            return out;
        }
        case SNT_FOR: return CompileFor(node);
        case SNT_RETURN: return CompileReturn(node);
        case SNT_BREAK:
        case SNT_CONTINUE: {
            const bool isBreak = node->type == SNT_BREAK;
            if (m_LoopDepth == 0) {
                Fail(node->line, isBreak ? "illegal 'break' outside the loop" : "illegal 'continue' outside the loop");
            }
            return NewNode(isBreak ? CNT_BREAK : CNT_CONTINUE, node->line, node->text);
        }
        default: Fail(node->line, "unexpected '%s'", node->text.c_str());
        }
    } catch (const sCompileAbort&) {
        return nullptr;
    }
}

cCodeNode* cScriptCompiler::CompileStatementBody(const cSyntaxNode* node) {
    // An error in the body drops the body's statement only.
    return CompileStatement(node);
}

cCodeNode* cScriptCompiler::CompileBlock(const cSyntaxNode* node) {
    cCodeNode* block = NewNode(CNT_STATEMENT_BLOCK, node->line);
    for (const cSyntaxNode* statement : node->children) {
        if (cCodeNode* compiled = CompileStatement(statement)) {
            block->children.push_back(compiled);
        }
    }
    return block;
}

cCodeNode* cScriptCompiler::CompileLocalDeclaration(const cSyntaxNode* node) {
    const sTypeText type = ResolveType(node);
    cCodeNode* block = NewNode(CNT_STATEMENT_BLOCK, node->line);
    for (const sDeclarator& declarator : Declarators(node)) {
        const std::string& name = declarator.name->text;
        const std::int32_t line = declarator.name->line;
        try {
            if (m_Locals->HasSymbol(name)) {
                Fail(line, "redefinition of local variable '%s::%s'", m_Locals->GetName().c_str(), name.c_str());
            }
            if (type.type->GetId() == TYPE_VOID || (type.type->IsClass() && !type.type->IsComplete())) {
                Fail(line, "'%s' : illegal use of type '%s'", name.c_str(), type.type->GetName().c_str());
            }
            if (type.isReference || declarator.reference) {
                if (!declarator.initializer) {
                    Fail(line, "reference '%s' must be initialized", name.c_str());
                }
                const cCodeNode* value = CompileValue(declarator.initializer);
                if (value->type != CNT_VARIABLE) {
                    Fail(line, "initialization, variable expected");
                }
                if (!IsConvertible(value, type.type, true) || (value->isConst && !type.isConst)) {
                    Fail(line, "initialization, can't convert from '%s' to '%s'",
                         TypeText(value->valueType, value->isConst, false).c_str(),
                         TypeText(type.type, type.isConst, true).c_str());
                }
                // A reference names its variable for its whole life, so it takes that variable's place.
                auto alias = std::make_unique<cVariable>(name, type.type,
                                                         VAR_LOCAL | VAR_REFERENCE | (type.isConst ? VAR_CONST : 0));
                alias->SetLocation(value->operand);
                m_Locals->AddVariable(std::move(alias));
                continue;
            }
            if (type.isConst && !declarator.initializer) {
                Fail(line, "constant object '%s' must be initialized", name.c_str());
            }
            cCodeNode* value = nullptr;
            if (declarator.initializer) {
                value = CompileValue(declarator.initializer);
                if (!IsConvertible(value, type.type, false)) {
                    Fail(line, "initialization, can't convert from '%s' to '%s'",
                         TypeText(value->valueType, false, false).c_str(), TypeText(type.type, false, false).c_str());
                }
                value = Convert(value, type.type);
            }
            cVariable* variable =
                m_Locals->AddVariable(std::make_unique<cVariable>(name, type.type, type.isConst ? VAR_CONST : 0));
            m_Function->AddLocal(variable);
            cCodeNode* target = VariableNode(variable, line);
            if (type.type->IsClass() && type.type->IsInheritedFrom(m_Env.GetObjectClass())) {
                // The object header: type index and size.
                const sOperator* mov = m_Script.GetRoot().FindOperators("=").front();
                const std::int32_t header[2] = {type.type->GetIndex(), type.type->GetSize()};
                for (int i = 0; i < 2; ++i) {
                    cCodeNode* field = NewNode(CNT_VARIABLE, line, name);
                    field->valueType = m_Env.GetIntType();
                    field->operand = target->operand.Member(i * 4);
                    cCodeNode* assign = NewNode(CNT_OPERATOR, line, "=");
                    assign->op = mov;
                    assign->valueType = m_Env.GetVoidType();
                    assign->children = {field, MakeConstant(CNT_CONST_INT, m_Env.GetIntType(), &header[i], 4, line)};
                    block->children.push_back(assign);
                }
            }
            if (value) {
                const sOperator* chosen = nullptr;
                for (const sOperator* op : m_Script.GetRoot().FindOperators("=")) {
                    if (op->left == type.type && op->right == value->valueType) {
                        chosen = op;
                    }
                }
                if (!chosen) {
                    Fail(line, "'=' : no matching operator found");
                }
                if (type.isConst && value->IsConstant()) {
                    variable->SetValue(value->constant, static_cast<std::size_t>(type.type->GetSize()));
                }
                cCodeNode* assign = NewNode(CNT_OPERATOR, line, "=");
                assign->op = chosen;
                assign->valueType = m_Env.GetVoidType();
                assign->hasCall = value->hasCall;
                assign->children = {target, value};
                block->children.push_back(assign);
            }
        } catch (const sCompileAbort&) {
        }
    }
    return block->children.empty() ? nullptr : block;
}

cCodeNode* cScriptCompiler::CompileExpressionStatement(const cSyntaxNode* node) {
    cCodeNode* value = CompileValue(node);
    const bool effect = (value->type == CNT_OPERATOR && value->op->modifiesLeft) || value->hasCall;
    if (!effect) {
        m_Messages.Warning(node->line, "expression has no effect, ignoring");
        return nullptr;
    }
    return value;
}

cCodeNode* cScriptCompiler::CompileCondition(const cSyntaxNode* condition, std::int32_t line) {
    const cSyntaxNode* expression = condition ? condition->Child(0) : nullptr;
    if (!expression) {
        Fail(line, "conditional expression expected");
    }
    const cSyntaxNode* top = expression->Child(0);
    if (top && top->type == SNT_OPERATOR && IsAssignment(top->text)) {
        m_Messages.Warning(expression->line, "assignment within conditional expression");
    }
    cCodeNode* value = CompileValue(expression);
    if (value->valueType != m_Env.GetBoolType()) {
        Fail(expression->line, "conditional expression of type '%s' isn't 'bool'", value->valueType->GetName().c_str());
    }
    return value;
}

cCodeNode* cScriptCompiler::CompileFor(const cSyntaxNode* node) {
    cCodeNode* out = NewNode(CNT_FOR, node->line, "for");
    out->children.push_back(node->Child(0) ? CompileExpressionStatement(node->Child(0)) : nullptr);
    if (!node->Child(1)) {
        Fail(node->line, "'for' statement has no conditional expression");
    }
    cCodeNode* condition = CompileCondition(node->Child(1), node->line);
    // The loop ends on the result byte of the condition's last instruction.
    if (!(condition->type == CNT_OPERATOR || condition->IsCall())) {
        Fail(node->line, "'for' : conditional expression must be a comparison or a call");
    }
    out->children.push_back(condition);
    out->children.push_back(node->Child(2) ? CompileExpressionStatement(node->Child(2)) : nullptr);
    cLoopScope loop(m_LoopDepth);
    out->children.push_back(CompileStatementBody(node->Child(3)));
    return out;
}

cCodeNode* cScriptCompiler::CompileReturn(const cSyntaxNode* node) {
    cCodeNode* out = NewNode(CNT_RETURN, node->line, "return");
    const cTypeDef* result = m_Function->GetReturnType();
    const std::string& name = m_Function->GetName();
    if (!node->Child(0)) {
        if (result->GetId() != TYPE_VOID) {
            Fail(node->line, "'%s' : function must return a value", name.c_str());
        }
        out->children.push_back(nullptr);
        return out;
    }
    cCodeNode* value = CompileValue(node->Child(0));
    if (result->GetId() == TYPE_VOID) {
        Fail(node->line, "'%s' : 'void' function returning a value", name.c_str());
    }
    if (!IsConvertible(value, result, false)) {
        Fail(node->line, "return, can't convert from '%s' to '%s'", value->valueType->GetName().c_str(),
             result->GetName().c_str());
    }
    out->children.push_back(Convert(value, result));
    return out;
}

// ---------------------------------------------------------------------------------------------------------------
// Expressions

bool cScriptCompiler::IsConvertible(const cCodeNode* value, const cTypeDef* target, bool reference) const {
    const cTypeDef* type = value->valueType;
    if (type == target) {
        return true;
    }
    if (reference) {
        return type->IsClass() && target->IsClass() && type->IsInheritedFrom(target);
    }
    return value->type == CNT_CONST_INT && type == m_Env.GetIntType() && target == m_Env.GetFloatType();
}

cCodeNode* cScriptCompiler::Convert(cCodeNode* value, const cTypeDef* target) {
    if (value->valueType == target || !(value->type == CNT_CONST_INT && target == m_Env.GetFloatType())) {
        return value;
    }
    std::int32_t integer = 0;
    std::memcpy(&integer, value->constant, 4);
    const float real = static_cast<float>(integer);
    return MakeConstant(CNT_CONST_FLOAT, target, &real, 4, value->line);
}

cCodeNode* cScriptCompiler::MakeConstant(eCodeNodeType type, const cTypeDef* valueType, const void* bytes,
                                         std::int32_t size, std::int32_t line) {
    cCodeNode* node = NewNode(type, line);
    node->valueType = valueType;
    node->isConst = true;
    std::memcpy(node->constant, bytes, static_cast<std::size_t>(size));
    if (!m_Folding && !m_Script.AllocateConstant(bytes, size, node->operand)) {
        Fail(line, "out of script memory for constants, %d more bytes needed", size);
    }
    return node;
}

cCodeNode* cScriptCompiler::VariableNode(const cVariable* variable, std::int32_t line) {
    const cTypeDef* type = variable->GetType();
    if (variable->Has(VAR_CONST) && variable->HasValue()) {
        // A constant holds its value in its own record.
        cCodeNode* constant = nullptr;
        switch (type->GetId()) {
        case TYPE_BOOL: constant = MakeConstant(CNT_CONST_BOOL, type, variable->GetValue(), 1, line); break;
        case TYPE_INT: constant = MakeConstant(CNT_CONST_INT, type, variable->GetValue(), 4, line); break;
        case TYPE_FLOAT: constant = MakeConstant(CNT_CONST_FLOAT, type, variable->GetValue(), 4, line); break;
        case TYPE_STRING:
            constant = MakeConstant(CNT_CONST_STRING, type, variable->GetValue(), sizeof(sScriptString), line);
            break;
        default: break;
        }
        if (constant) {
            constant->text = variable->GetName();
            constant->namesConstant = true;
            return constant;
        }
    }
    cCodeNode* node = NewNode(CNT_VARIABLE, line, variable->GetName());
    node->valueType = type;
    node->isConst = variable->Has(VAR_CONST);
    node->operand = variable->GetLocation();
    return node;
}

cCodeNode* cScriptCompiler::CompileValue(const cSyntaxNode* node) {
    if (!node) {
        m_Messages.Fatal("cScriptCompiler::CompileValue : NULL-pointer to node");
    }
    switch (node->type) {
    case SNT_EXPRESSION:
    case SNT_CONDITION:
        if (!node->Child(0)) {
            m_Messages.Fatal("cScriptCompiler::CompileValue : NULL-pointer to node");
        }
        return CompileValue(node->Child(0));
    case SNT_NUMBER: return CompileNumber(node);
    case SNT_STRING: {
        if (node->text.size() > sScriptString::kCapacity) {
            m_Messages.Warning(node->line, "string literal truncated to %d characters",
                               static_cast<int>(sScriptString::kCapacity));
        }
        sScriptString text;
        text.Set(node->text.c_str());
        return MakeConstant(CNT_CONST_STRING, m_Env.GetStringType(), &text, sizeof(text), node->line);
    }
    case SNT_LITERAL: return CompileLiteral(node);
    case SNT_IDENTIFIER: {
        const cVariable* variable = LookupScope()->LookupVariable(node->text);
        if (!variable) {
            Fail(node->line, "undeclared identifier '%s'", node->text.c_str());
        }
        return VariableNode(variable, node->line);
    }
    case SNT_FUNCTION_CALL: {
        const cVariable* variable = LookupScope()->LookupVariable(node->text);
        if (!variable) {
            Fail(node->line, "undeclared identifier '%s'", node->text.c_str());
        }
        return CompileCall(variable, node, nullptr);
    }
    case SNT_OPERATOR:
        if (node->text == "::") {
            return CompileQualified(node);
        }
        if (node->text == "." || node->text == "->") {
            return CompileMember(node);
        }
        return CompileBinary(node);
    case SNT_PRE_OPERATOR:
        if (node->text == "::") {
            return CompileGlobal(node);
        }
        Fail(node->line, "'%s' : no matching operator found", node->text.c_str());
    case SNT_POST_OPERATOR: Fail(node->line, "'%s' : no matching operator found", node->text.c_str());
    case SNT_TYPEOF: return CompileTypeof(node);
    default: Fail(node->line, "unexpected '%s'", node->text.c_str());
    }
}

cCodeNode* cScriptCompiler::CompileNumber(const cSyntaxNode* node) {
    const std::string& text = node->text;
    const bool negative = !text.empty() && text[0] == '-';
    const std::string digits = negative ? text.substr(1) : text;
    const std::size_t dots = std::count(digits.begin(), digits.end(), '.');
    if (digits.empty() || dots > 1 || digits == "." || digits.find_first_not_of("0123456789.") != std::string::npos) {
        Fail(node->line, "'%s' isn't a valid number", text.c_str());
    }
    if (dots == 1) {
        const double value = std::strtod(digits.c_str(), nullptr);
        if (!std::isfinite(value) || value > std::numeric_limits<float>::max()) {
            Fail(node->line, "floating constant '%s' is out of range", text.c_str());
        }
        const float real = static_cast<float>(negative ? -value : value);
        return MakeConstant(CNT_CONST_FLOAT, m_Env.GetFloatType(), &real, 4, node->line);
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
        if (value > limit) {
            Fail(node->line, "integer constant '%s' is too big", text.c_str());
        }
    }
    const std::int32_t integer = static_cast<std::int32_t>(negative ? -value : value);
    return MakeConstant(CNT_CONST_INT, m_Env.GetIntType(), &integer, 4, node->line);
}

cCodeNode* cScriptCompiler::CompileLiteral(const cSyntaxNode* node) {
    if (node->text == "true" || node->text == "false") {
        const std::uint8_t value = node->text == "true" ? 1 : 0;
        return MakeConstant(CNT_CONST_BOOL, m_Env.GetBoolType(), &value, 1, node->line);
    }
    if (node->text.size() == 3 && node->text[0] == '\'') {
        // A character is an integer constant: there is no "char" type.
        const std::int32_t code = static_cast<unsigned char>(node->text[1]);
        return MakeConstant(CNT_CONST_CHAR, m_Env.GetIntType(), &code, 4, node->line);
    }
    Fail(node->line, "unexpected '%s'", node->text.c_str());
}

cCodeNode* cScriptCompiler::CompileTypeof(const cSyntaxNode* node) {
    const cSyntaxNode* operand = node->Child(0);
    const cTypeDef* type = nullptr;
    if (operand->type == SNT_TYPE) {
        type = LookupScope()->LookupType(operand->text);
        if (!type) {
            Fail(operand->line, "'%s' isn't a valid type", operand->text.c_str());
        }
    } else {
        type = CompileValue(operand)->valueType;
    }
    const std::int32_t index = type->GetIndex();
    return MakeConstant(CNT_CONST_INT, m_Env.GetTypeType(), &index, 4, node->line);
}

const cNamespace* cScriptCompiler::ResolveNamespace(const cSyntaxNode* node) {
    if (node->type == SNT_IDENTIFIER) {
        const cNamespace* scope = LookupScope()->LookupNamespace(node->text);
        if (!scope) {
            Fail(node->line, "undeclared identifier '%s'", node->text.c_str());
        }
        return scope;
    }
    if (node->type == SNT_OPERATOR && node->text == "::" && node->Child(1)->type == SNT_IDENTIFIER) {
        const cNamespace* outer = ResolveNamespace(node->Child(0));
        const cNamespace* scope = outer->FindNamespace(node->Child(1)->text);
        if (!scope) {
            Fail(node->line, "'%s' isn't a member of '%s'", node->Child(1)->text.c_str(), outer->GetName().c_str());
        }
        return scope;
    }
    if (node->type == SNT_PRE_OPERATOR && node->text == "::" && node->Child(0)->type == SNT_IDENTIFIER) {
        const std::string& name = node->Child(0)->text;
        const cNamespace* scope = m_Script.GetRoot().FindNamespace(name);
        if (!scope) {
            scope = m_Env.GetRoot().FindNamespace(name);
        }
        if (!scope) {
            Fail(node->line, "'%s' isn't a member of '%s'", name.c_str(), m_Env.GetRoot().GetName().c_str());
        }
        return scope;
    }
    Fail(node->line, "unexpected '::'");
}

cCodeNode* cScriptCompiler::CompileNamedMember(const cNamespace* scope, const cSyntaxNode* member,
                                               const std::string& scopeName) {
    const cVariable* variable = scope->FindVariable(member->text);
    if (!variable && scope == &m_Script.GetRoot()) {
        variable = m_Env.GetRoot().FindVariable(member->text);
    }
    if (!variable) {
        Fail(member->line, "'%s' isn't a member of '%s'", member->text.c_str(), scopeName.c_str());
    }
    if (member->type == SNT_FUNCTION_CALL) {
        return CompileCall(variable, member, nullptr);
    }
    if (member->type != SNT_IDENTIFIER) {
        Fail(member->line, "unexpected '%s'", member->text.c_str());
    }
    return VariableNode(variable, member->line);
}

cCodeNode* cScriptCompiler::CompileQualified(const cSyntaxNode* node) {
    const cNamespace* scope = ResolveNamespace(node->Child(0));
    return CompileNamedMember(scope, node->Child(1), scope->GetName());
}

cCodeNode* cScriptCompiler::CompileGlobal(const cSyntaxNode* node) {
    return CompileNamedMember(&m_Script.GetRoot(), node->Child(0), m_Env.GetRoot().GetName());
}

cCodeNode* cScriptCompiler::CompileMember(const cSyntaxNode* node) {
    cCodeNode* object = CompileValue(node->Child(0));
    if (object->type != CNT_VARIABLE || !object->valueType->IsClass()) {
        Fail(node->line, "unexpected '%s'", node->text.c_str());
    }
    const cTypeDef* type = object->valueType;
    const cSyntaxNode* member = node->Child(1);
    if (member->type == SNT_IDENTIFIER) {
        const sClassField* field = type->FindField(member->text);
        if (!field) {
            Fail(member->line, "'%s' isn't a member of '%s'", member->text.c_str(), type->GetName().c_str());
        }
        cCodeNode* out = NewNode(CNT_VARIABLE, member->line, member->text);
        out->valueType = field->type;
        out->isConst = field->isConst || object->isConst;
        out->operand = object->operand.Member(field->offset);
        if (out->operand.indirect && out->operand.offset2 > kMaxIndirectOffset) {
            Fail(member->line, "'%s' : member offset is too big", member->text.c_str());
        }
        return out;
    }
    if (member->type != SNT_FUNCTION_CALL) {
        Fail(member->line, "unexpected '%s'", member->text.c_str());
    }
    const cVariable* method = type->FindMethod(member->text);
    if (!method) {
        if (type->FindField(member->text)) {
            Fail(member->line, "'%s::%s' not a function", type->GetName().c_str(), member->text.c_str());
        }
        Fail(member->line, "'%s' isn't a member of '%s'", member->text.c_str(), type->GetName().c_str());
    }
    return CompileCall(method, member, object);
}

cCodeNode* cScriptCompiler::CompileCall(const cVariable* variable, const cSyntaxNode* call, cCodeNode* object) {
    const std::string& name = call->text;
    const bool isMethod = object != nullptr;
    if (variable->GetType()->GetId() != TYPE_FUNCTION || !variable->GetFunction()) {
        Fail(call->line, "'%s' isn't a function", name.c_str());
    }
    const cFuncDef* function = variable->GetFunction();
    const std::size_t expected = function->GetArguments().size();
    if (call->children.size() != expected) {
        Fail(call->line, isMethod ? "method '%s' takes %d arguments, not %d" : "function '%s' takes %d arguments, not %d",
             name.c_str(), static_cast<int>(expected), static_cast<int>(call->children.size()));
    }
    cCodeNode* out = NewNode(isMethod ? CNT_METHOD_CALL : CNT_FUNCTION_CALL, call->line, name);
    out->function = variable->GetFunction();
    out->slot = variable->GetLocation();
    out->valueType = function->GetReturnType();
    out->returnsReference = function->ReturnsReference();
    out->hasCall = true;
    if (isMethod) {
        out->children.push_back(object);
    }
    for (std::size_t i = 0; i < expected; ++i) {
        out->children.push_back(CompileArgument(call->children[i], function, i, isMethod, name));
    }
    return out;
}

cCodeNode* cScriptCompiler::CompileArgument(const cSyntaxNode* node, const cFuncDef* function, std::size_t index,
                                            bool method, const std::string& name) {
    cCodeNode* value = CompileValue(node);
    const sArgument& argument = function->GetArguments()[index];
    bool ok = IsConvertible(value, argument.type, argument.byReference);
    if (argument.byReference) {
        // A reference needs a place: a variable, or a constant for a const reference.
        ok = ok && (value->type == CNT_VARIABLE || (value->IsConstant() && argument.isConst));
        ok = ok && (!value->isConst || argument.isConst);
    }
    if (!ok) {
        Fail(node->line, method ? "method '%s' takes '%s' as %d argument" : "function '%s' takes '%s' as %d argument",
             name.c_str(), function->DescribeArgument(index).c_str(), static_cast<int>(index + 1));
    }
    return argument.byReference ? value : Convert(value, argument.type);
}

cCodeNode* cScriptCompiler::CompileBinary(const cSyntaxNode* node) {
    const std::string& symbol = node->text;
    cCodeNode* left = CompileValue(node->Child(0));
    cCodeNode* right = CompileValue(node->Child(1));
    const std::vector<const sOperator*> candidates = m_Script.GetRoot().FindOperators(symbol);
    const sOperator* chosen = nullptr;
    for (int pass = 0; pass < 2 && !chosen; ++pass) {
        for (const sOperator* op : candidates) {
            if (pass == 1) {
                // An integer literal meets a float operand as a float.
                if (!IsConvertible(left, op->left, false) || !IsConvertible(right, op->right, false)) {
                    continue;
                }
                if (op->modifiesLeft && left->valueType != op->left) {
                    continue;
                }
            } else if (left->valueType != op->left || right->valueType != op->right) {
                continue;
            }
            chosen = op;
            break;
        }
    }
    if (!chosen) {
        Fail(node->line, "'%s' : no matching operator found", symbol.c_str());
    }
    if (chosen->modifiesLeft) {
        if (left->namesConstant) {
            Fail(node->line, "'%s' : l-value specifies const object", symbol.c_str());
        }
        if (left->type != CNT_VARIABLE) {
            Fail(node->line, "'%s' : left operand must be l-value", symbol.c_str());
        }
        if (left->isConst) {
            Fail(node->line, "'%s' : l-value specifies const object", symbol.c_str());
        }
    }
    cCodeNode* out = NewNode(CNT_OPERATOR, node->line, symbol);
    out->op = chosen;
    out->valueType = chosen->result;
    out->hasCall = left->hasCall || right->hasCall;
    out->children = {Convert(left, chosen->left), Convert(right, chosen->right)};
    return out;
}

} // namespace velmora::script
