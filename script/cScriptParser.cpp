#include "script/cScriptParser.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/core/cException.h"

namespace velmora::script {

namespace {

// An error was recorded; recovery happens at the nearest statement, member or item.
struct sSyntaxAbort {};
// Nothing more can be read (end of input, lexical error, too many errors).
struct sEndOfInput {};

const char* const kReservedWords[] = {"void",     "bool",      "char",    "int",     "float",  "function", "string",
                                      "type",     "do",        "while",   "for",     "break",  "continue", "return",
                                      "if",       "else",      "typedef", "const",   "namespace", "class",  "private",
                                      "public",   "protected", "virtual", "typeof"};

const char* const kBuiltinTypes[] = {"void", "bool", "int", "float", "string", "type", "function"};

bool IsBuiltinType(const std::string& name) {
    return std::any_of(std::begin(kBuiltinTypes), std::end(kBuiltinTypes),
                       [&](const char* t) { return name == t; });
}

// Words that start a declaration as a type; "char" is reserved for it though no type object exists.
bool IsTypeKeyword(const std::string& name) { return name == "char" || IsBuiltinType(name); }

bool IsBinaryOperator(const std::string& op) {
    static const char* const kOperators[] = {"=",  "+=", "-=", "*=", "/=", "||", "&&", "&", "^", "|",
                                             "==", "!=", "<",  "<=", ">",  ">=", "+",  "-", "*", "/"};
    return std::any_of(std::begin(kOperators), std::end(kOperators), [&](const char* o) { return op == o; });
}

bool IsAssignmentOperator(const std::string& op) {
    return op == "=" || op == "+=" || op == "-=" || op == "*=" || op == "/=";
}

bool IsSeparator(const sToken& token, const char* text) { return token.type == TOKEN_SEPARATOR && token.text == text; }

} // namespace

// Counts the recursion of the descent; refuses to go deeper than kMaxDepth.
class cDepthGuard {
public:
    explicit cDepthGuard(cScriptParser& parser) : m_Parser(parser) {
        if (m_Parser.m_Depth >= cScriptParser::kMaxDepth) {
            m_Parser.SyntaxError("nesting is too deep, at most %d levels are allowed", cScriptParser::kMaxDepth);
        }
        ++m_Parser.m_Depth;
    }
    ~cDepthGuard() { --m_Parser.m_Depth; }
    cDepthGuard(const cDepthGuard&) = delete;
    cDepthGuard& operator=(const cDepthGuard&) = delete;

private:
    cScriptParser& m_Parser;
};

namespace {
// Keeps a name on the scope list while a namespace or class is read.
class cScopeGuard {
public:
    cScopeGuard(std::vector<std::string>& scope, const std::string& name) : m_Scope(scope) { m_Scope.push_back(name); }
    ~cScopeGuard() { m_Scope.pop_back(); }
    cScopeGuard(const cScopeGuard&) = delete;
    cScopeGuard& operator=(const cScopeGuard&) = delete;

private:
    std::vector<std::string>& m_Scope;
};
} // namespace

const char* const cScriptParser::kSeparators =
    "= + - * / += -= *= /= < > <= >= && || == != ++ -- ! , ; ( ) { } [ ] :: : . -> & | ^";

cScriptParser::cScriptParser(cCodeTree<cSyntaxNode>& tree, cMessageList& messages, tTypeLookup lookup)
    : m_Tree(tree), m_Messages(messages), m_Checker(messages), m_Lookup(std::move(lookup)) {
    SetSeparators(kSeparators);
}

// ---------------------------------------------------------------------------------------------------------------
// Words and names

bool cScriptParser::IsReservedWord(const std::string& word) {
    return std::any_of(std::begin(kReservedWords), std::end(kReservedWords),
                       [&](const char* w) { return word == w; });
}

bool cScriptParser::IsValidName(const std::string& word) {
    if (word.empty() || (word[0] >= '0' && word[0] <= '9')) {
        return false;
    }
    for (const char c : word) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) {
            return false;
        }
    }
    return !IsReservedWord(word) && word != "true" && word != "false";
}

std::string cScriptParser::ScopedName(const std::string& name) const {
    std::string out;
    for (const std::string& scope : m_Scope) {
        out += scope + "::";
    }
    return out + name;
}

bool cScriptParser::IsTypeName(const std::string& name) const {
    if (IsBuiltinType(name)) {
        return true;
    }
    // From the innermost open scope outwards to the root.
    for (std::size_t open = m_Scope.size() + 1; open-- > 0;) {
        std::string candidate;
        for (std::size_t i = 0; i < open; ++i) {
            candidate += m_Scope[i] + "::";
        }
        candidate += name;
        if (m_DeclaredTypes.count(candidate) || (m_Lookup && m_Lookup(candidate))) {
            return true;
        }
    }
    return false;
}

std::int32_t cScriptParser::GetOperatorPriority(const std::string& op) const {
    struct sPriority {
        const char* op;
        std::int32_t priority;
    };
    static const sPriority kPriorities[] = {
        {"=", 0},  {"+=", 0}, {"-=", 0},      {"*=", 0},    {"/=", 0},     {"||", 1}, {"&&", 2}, {"&", 3},
        {"^", 3},  {"|", 3},  {"==", 4},      {"!=", 4},    {"<", 5},      {"<=", 5}, {">", 5},  {">=", 5},
        {"+", 6},  {"-", 6},  {"*", 7},       {"/", 7},     {"!", 8},      {"int", 9}, {"string", 9},
        {"float", 9}, {"++", 10}, {"--", 10}, {".", 11},    {"->", 11},    {"::", 12}};
    for (const sPriority& p : kPriorities) {
        if (op == p.op) {
            return p.priority;
        }
    }
    m_Messages.Fatal("cScriptParser::GetOperatorPriority : '%s' isn't a valid operator", op.c_str());
}

// ---------------------------------------------------------------------------------------------------------------
// Nodes

cSyntaxNode* cScriptParser::NewNode(eSyntaxNodeType type, const std::string& text, std::int32_t line) {
    cSyntaxNode* node = m_Tree.AllocateNode();
    node->type = type;
    node->text = text;
    node->line = line;
    return node;
}

cSyntaxNode* cScriptParser::PushNode(eSyntaxNodeType type, const std::string& text, std::int32_t line) {
    cSyntaxNode* node = NewNode(type, text, line);
    try {
        m_Stack.push_back(node);
    } catch (const std::bad_alloc&) {
        m_Messages.Fatal("cScriptParser::PushNode : failed to allocate memory for new node( ICE )");
    }
    return node;
}

cSyntaxNode* cScriptParser::PopNode() {
    if (m_Stack.empty()) {
        m_Messages.Fatal("cScriptParser::PopNode : stack underflow");
    }
    cSyntaxNode* node = m_Stack.back();
    m_Stack.pop_back();
    return node;
}

cSyntaxNode* cScriptParser::MakeOperator(eSyntaxNodeType type, const std::string& op, std::int32_t line,
                                         std::initializer_list<cSyntaxNode*> children) {
    std::int32_t height = 0;
    for (const cSyntaxNode* child : children) {
        height = std::max(height, child->height);
    }
    if (height + 1 > kMaxExpressionHeight) {
        SyntaxError("expression is too complex, at most %d levels are allowed", kMaxExpressionHeight);
    }
    cSyntaxNode* node = NewNode(type, op, line);
    node->children.assign(children.begin(), children.end());
    node->height = height + 1;
    return node;
}

// ---------------------------------------------------------------------------------------------------------------
// Reading and errors

void cScriptParser::RecordError(std::int32_t line, const char* message) {
    m_Messages.Error(line, "%s", message);
    if (m_Messages.GetErrorCount() >= kMaxErrors) {
        m_Messages.Error(line, "too many errors, parsing stopped");
        m_End = true;
        throw sEndOfInput();
    }
}

void cScriptParser::Advance() {
    try {
        Next();
    } catch (const cException& e) {
        // A lexical error: the tokenizer cannot go on behind it.
        const std::int32_t line = GetTokenizer().GetLine();
        m_End = true;
        m_Messages.Error(line, "%s", e.GetText());
        throw sEndOfInput();
    }
}

bool cScriptParser::AcceptToken(const char* text) {
    if (!Is(text)) {
        return false;
    }
    Advance();
    return true;
}

void cScriptParser::SyntaxError(const char* format, ...) {
    char message[4096] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    RecordError(GetLine(), message);
    throw sSyntaxAbort();
}

void cScriptParser::EndOfInput(const char* expected) {
    char message[256] = {};
    std::snprintf(message, sizeof(message), "unexpected end of file, '%s' expected", expected);
    RecordError(GetLine(), message);
    throw sEndOfInput();
}

void cScriptParser::Unexpected() {
    if (IsEnd()) {
        EndOfInput("expression");
    }
    SyntaxError("unexpected '%s'", GetToken().text.c_str());
}

void cScriptParser::ExpectToken(const char* text) {
    if (IsEnd()) {
        EndOfInput(text);
    }
    if (!Is(text)) {
        const std::string& previous = GetPreviousToken().text;
        if (previous != kNotSet) {
            SyntaxError("expected '%s' after '%s' found '%s'", text, previous.c_str(), GetToken().text.c_str());
        }
        SyntaxError("expected '%s' found '%s'", text, GetToken().text.c_str());
    }
    Advance();
}

void cScriptParser::Recover() {
    if (!IsEnd() && !Is("}")) {
        Advance();
    }
}

cScriptParser::sLookahead cScriptParser::LookAtQualifiedName() {
    sLookahead out;
    if (IsEnd() || GetToken().type != TOKEN_IDENTIFIER) {
        return out;
    }
    SavePosition();
    std::string name = GetToken().text;
    bool complete = true;
    Advance();
    while (Is("::")) {
        Advance();
        if (IsEnd() || GetToken().type != TOKEN_IDENTIFIER) {
            complete = false;
            break;
        }
        name += "::" + GetToken().text;
        Advance();
    }
    out.parenthesis = Is("(");
    RestorePosition();
    out.isType = complete && (IsTypeKeyword(name) || IsTypeName(name));
    return out;
}

bool cScriptParser::IsDeclarationStart(bool statement) {
    if (Is("const")) {
        return true;
    }
    const sLookahead look = LookAtQualifiedName();
    // In a statement a type name followed by "(" is a cast.
    return look.isType && !(statement && look.parenthesis);
}

// ---------------------------------------------------------------------------------------------------------------
// Items

cSyntaxNode* cScriptParser::ParseFile(const char* path) { return Parse(path ? path : "", nullptr); }

cSyntaxNode* cScriptParser::ParseString(const std::string& text) { return Parse(nullptr, &text); }

cSyntaxNode* cScriptParser::Parse(const char* path, const std::string* text) {
    m_Stack.clear();
    m_Scope.clear();
    m_Depth = 0;
    m_Messages.SetSourceName(path ? path : "memory");
    cSyntaxNode* root = NewNode(SNT_SCRIPT, "", 0);
    try {
        try {
            if (path) {
                LoadFile(path);
            } else {
                SetText(*text);
            }
        } catch (const cException& e) {
            m_End = true;
            m_Messages.Error(GetTokenizer().GetLine(), "%s", e.GetText());
            throw sEndOfInput();
        }
        while (!IsEnd()) {
            const std::size_t open = m_Stack.size();
            try {
                cSyntaxNode* item = ParseItem();
                if (item) {
                    root->children.push_back(item);
                    m_Checker.CheckNode(item);
                }
            } catch (const sSyntaxAbort&) {
                m_Stack.resize(open);
                if (!IsEnd()) {
                    Advance(); // the offending token, a stray "}" included
                }
            }
        }
    } catch (const sEndOfInput&) {
    }
    m_Stack.clear();
    m_Scope.clear();
    return root;
}

cSyntaxNode* cScriptParser::ParseItem() {
    if (AcceptToken(";")) {
        return nullptr;
    }
    if (Is("namespace")) {
        return ParseNamespace();
    }
    if (Is("class")) {
        return ParseClass();
    }
    if (Is("enum")) {
        return ParseEnum();
    }
    if (IsDeclarationStart(false)) {
        return ParseDeclaration(false);
    }
    SyntaxError("unexpected '%s'", GetToken().text.c_str());
}

cSyntaxNode* cScriptParser::ParseName() {
    if (IsEnd()) {
        EndOfInput("name");
    }
    const sToken& token = GetToken();
    if (token.type != TOKEN_IDENTIFIER && token.type != TOKEN_BOOLEAN && token.type != TOKEN_NUMBER) {
        const std::string& previous = GetPreviousToken().text;
        SyntaxError("expected 'name' after '%s' found '%s'", previous.c_str(), token.text.c_str());
    }
    cSyntaxNode* node = NewNode(SNT_IDENTIFIER, token.text, token.line);
    Advance();
    return node;
}

cSyntaxNode* cScriptParser::ParseDeclaredName() {
    const std::int32_t line = GetLine();
    cSyntaxNode* name = ParseName();
    if (!IsValidName(name->text)) {
        RecordError(line, ("'" + name->text + "' isn't a valid name").c_str());
        throw sSyntaxAbort();
    }
    return name;
}

cSyntaxNode* cScriptParser::ParseType() {
    if (IsEnd()) {
        EndOfInput("type");
    }
    const sToken& token = GetToken();
    if (token.type != TOKEN_IDENTIFIER) {
        Unexpected();
    }
    cSyntaxNode* node = NewNode(SNT_TYPE, token.text, token.line);
    Advance();
    while (Is("::")) {
        Advance();
        if (IsEnd() || GetToken().type != TOKEN_IDENTIFIER) {
            Unexpected();
        }
        node->text += "::" + GetToken().text;
        Advance();
    }
    if (IsTypeName(node->text)) {
        node->flags |= SNF_KNOWN_TYPE;
    }
    return node;
}

cSyntaxNode* cScriptParser::ParseNamespace() {
    cDepthGuard guard(*this);
    const std::int32_t line = GetLine();
    Advance(); // "namespace"
    const cSyntaxNode* name = ParseDeclaredName();
    ExpectToken("{");
    cSyntaxNode* node = PushNode(SNT_NAMESPACE, name->text, line);
    cScopeGuard scope(m_Scope, name->text);
    while (!Is("}")) {
        if (IsEnd()) {
            EndOfInput("}");
        }
        const std::size_t open = m_Stack.size();
        try {
            if (cSyntaxNode* item = ParseItem()) {
                node->children.push_back(item);
            }
        } catch (const sSyntaxAbort&) {
            m_Stack.resize(open);
            Recover();
        }
    }
    Advance(); // "}"
    return PopNode();
}

cSyntaxNode* cScriptParser::ParseClass() {
    cDepthGuard guard(*this);
    const std::int32_t line = GetLine();
    Advance(); // "class"
    const cSyntaxNode* name = ParseDeclaredName();
    m_DeclaredTypes.insert(ScopedName(name->text));
    cSyntaxNode* node = PushNode(SNT_CLASS, name->text, line);
    if (AcceptToken(":")) {
        do {
            node->children.push_back(ParseType());
        } while (AcceptToken(","));
    }
    ExpectToken("{");
    cScopeGuard scope(m_Scope, name->text);
    while (!Is("}")) {
        if (IsEnd()) {
            EndOfInput("}");
        }
        const std::size_t open = m_Stack.size();
        try {
            if (AcceptToken(";")) {
                continue;
            }
            if (!IsDeclarationStart(false)) {
                SyntaxError("unexpected '%s'", GetToken().text.c_str());
            }
            node->children.push_back(ParseDeclaration(false));
        } catch (const sSyntaxAbort&) {
            m_Stack.resize(open);
            Recover();
        }
    }
    Advance(); // "}"
    if (Is(";")) {
        m_Messages.Warning(GetLine(), "redundant semicolon");
        Advance();
    }
    return PopNode();
}

cSyntaxNode* cScriptParser::ParseEnum() {
    const std::int32_t line = GetLine();
    Advance(); // "enum"
    const cSyntaxNode* name = ParseDeclaredName();
    m_DeclaredTypes.insert(ScopedName(name->text));
    ExpectToken("{");
    cSyntaxNode* node = PushNode(SNT_ENUM, name->text, line);
    while (!Is("}")) {
        cSyntaxNode* value = ParseDeclaredName();
        if (AcceptToken("=")) {
            value->children.push_back(ParseExpression());
        }
        node->children.push_back(value);
        if (!AcceptToken(",")) {
            break;
        }
    }
    ExpectToken("}");
    AcceptToken(";");
    return PopNode();
}

cSyntaxNode* cScriptParser::ParseDeclaration(bool local) {
    const std::int32_t line = GetLine();
    cSyntaxNode* node = PushNode(SNT_DECLARATION, "", line);
    const std::int32_t constLine = GetLine();
    node->children.push_back(AcceptToken("const") ? NewNode(SNT_TOKEN, "const", constLine) : nullptr);
    node->children.push_back(ParseType());
    const std::int32_t referenceLine = GetLine();
    node->children.push_back(AcceptToken("&") ? NewNode(SNT_TOKEN, "&", referenceLine) : nullptr);
    cSyntaxNode* name = ParseName();
    node->children.push_back(name);
    node->text = name->text;
    if (Is("(")) {
        node->children.push_back(ParseArguments());
        node->children.push_back(AcceptToken(";") ? nullptr : ParseBlock());
        PopNode();
        if (local) {
            RecordError(name->line, "unexpected function definition");
            return nullptr;
        }
        return node;
    }
    node->children.push_back(AcceptToken("=") ? ParseExpression() : nullptr);
    while (AcceptToken(",")) {
        const std::int32_t ampersandLine = GetLine();
        node->children.push_back(AcceptToken("&") ? NewNode(SNT_TOKEN, "&", ampersandLine) : nullptr);
        node->children.push_back(ParseName());
        node->children.push_back(AcceptToken("=") ? ParseExpression() : nullptr);
    }
    ExpectToken(";");
    return PopNode();
}

cSyntaxNode* cScriptParser::ParseArguments() {
    const std::int32_t line = GetLine();
    ExpectToken("(");
    cSyntaxNode* node = NewNode(SNT_FUNCTION_ARGUMENTS, "", line);
    if (!Is(")")) {
        do {
            cSyntaxNode* argument = NewNode(SNT_DECLARATION, "", GetLine());
            const std::int32_t constLine = GetLine();
            argument->children.push_back(AcceptToken("const") ? NewNode(SNT_TOKEN, "const", constLine) : nullptr);
            argument->children.push_back(ParseType());
            const std::int32_t referenceLine = GetLine();
            argument->children.push_back(AcceptToken("&") ? NewNode(SNT_TOKEN, "&", referenceLine) : nullptr);
            cSyntaxNode* name = nullptr;
            if (!IsEnd() && (GetToken().type == TOKEN_IDENTIFIER || GetToken().type == TOKEN_BOOLEAN)) {
                name = ParseName();
                argument->text = name->text;
            }
            argument->children.push_back(name);
            node->children.push_back(argument);
        } while (AcceptToken(","));
    }
    ExpectToken(")");
    return node;
}

// ---------------------------------------------------------------------------------------------------------------
// Statements

cSyntaxNode* cScriptParser::ParseBlock() {
    cDepthGuard guard(*this);
    const std::int32_t line = GetLine();
    ExpectToken("{");
    cSyntaxNode* node = PushNode(SNT_STATEMENT_BLOCK, "", line);
    while (!Is("}")) {
        if (IsEnd()) {
            EndOfInput("}");
        }
        const std::size_t open = m_Stack.size();
        try {
            if (cSyntaxNode* statement = ParseStatement()) {
                node->children.push_back(statement);
            }
        } catch (const sSyntaxAbort&) {
            m_Stack.resize(open);
            Recover();
        }
    }
    Advance(); // "}"
    return PopNode();
}

cSyntaxNode* cScriptParser::ParseStatement() {
    cDepthGuard guard(*this);
    if (IsEnd()) {
        EndOfInput(";");
    }
    const std::int32_t line = GetLine();
    if (Is("{")) {
        return ParseBlock();
    }
    if (AcceptToken(";")) {
        return nullptr;
    }
    if (Is("if")) {
        return ParseIf();
    }
    if (Is("while")) {
        return ParseWhile();
    }
    if (Is("do")) {
        return ParseDo();
    }
    if (Is("for")) {
        return ParseFor();
    }
    if (Is("return")) {
        Advance();
        cSyntaxNode* node = NewNode(SNT_RETURN, "return", line);
        node->children.push_back(Is(";") ? nullptr : ParseExpression());
        ExpectToken(";");
        return node;
    }
    if (Is("break") || Is("continue")) {
        cSyntaxNode* node = NewNode(Is("break") ? SNT_BREAK : SNT_CONTINUE, GetToken().text, line);
        Advance();
        ExpectToken(";");
        return node;
    }
    if (IsDeclarationStart(true)) {
        return ParseDeclaration(true);
    }
    cSyntaxNode* expression = ParseExpression();
    ExpectToken(";");
    return expression;
}

cSyntaxNode* cScriptParser::ParseCondition() {
    ExpectToken("(");
    cSyntaxNode* condition = nullptr;
    if (!Is(")")) {
        condition = NewNode(SNT_CONDITION, "", GetLine());
        condition->children.push_back(ParseExpression());
    }
    ExpectToken(")");
    return condition;
}

cSyntaxNode* cScriptParser::ParseIf() {
    cSyntaxNode* node = NewNode(SNT_IF, "if", GetLine());
    Advance();
    node->children.push_back(ParseCondition());
    cSyntaxNode* then = NewNode(SNT_THEN, "", GetLine());
    then->children.push_back(ParseStatement());
    node->children.push_back(then);
    const std::int32_t elseLine = GetLine();
    if (AcceptToken("else")) {
        cSyntaxNode* otherwise = NewNode(SNT_ELSE, "else", elseLine);
        otherwise->children.push_back(ParseStatement());
        node->children.push_back(otherwise);
    }
    return node;
}

cSyntaxNode* cScriptParser::ParseWhile() {
    cSyntaxNode* node = NewNode(SNT_WHILE, "while", GetLine());
    Advance();
    node->children.push_back(ParseCondition());
    node->children.push_back(ParseStatement());
    return node;
}

cSyntaxNode* cScriptParser::ParseDo() {
    cSyntaxNode* node = NewNode(SNT_DO, "do", GetLine());
    Advance();
    cSyntaxNode* body = ParseStatement();
    ExpectToken("while");
    node->children.push_back(ParseCondition());
    node->children.push_back(body);
    ExpectToken(";");
    return node;
}

cSyntaxNode* cScriptParser::ParseFor() {
    cSyntaxNode* node = NewNode(SNT_FOR, "for", GetLine());
    Advance();
    ExpectToken("(");
    node->children.push_back(Is(";") ? nullptr : ParseExpression());
    ExpectToken(";");
    cSyntaxNode* condition = nullptr;
    if (!Is(";")) {
        condition = NewNode(SNT_CONDITION, "", GetLine());
        condition->children.push_back(ParseExpression());
    }
    node->children.push_back(condition);
    ExpectToken(";");
    node->children.push_back(Is(")") ? nullptr : ParseExpression());
    ExpectToken(")");
    node->children.push_back(ParseStatement());
    return node;
}

// ---------------------------------------------------------------------------------------------------------------
// Expressions

cSyntaxNode* cScriptParser::ParseExpression() {
    cSyntaxNode* operand = ParseBinary(0);
    cSyntaxNode* node = NewNode(SNT_EXPRESSION, "", operand->line);
    node->children.push_back(operand);
    node->height = operand->height;
    return node;
}

cSyntaxNode* cScriptParser::ParseBinary(std::int32_t minimumPriority) {
    cDepthGuard guard(*this);
    cSyntaxNode* left = ParseUnary();
    while (!IsEnd()) {
        const sToken& token = GetToken();
        if (token.type != TOKEN_SEPARATOR || !IsBinaryOperator(token.text)) {
            break;
        }
        const std::int32_t priority = GetOperatorPriority(token.text);
        if (priority < minimumPriority) {
            break;
        }
        const std::string op = token.text;
        Advance();
        cSyntaxNode* right = ParseBinary(IsAssignmentOperator(op) ? priority : priority + 1);
        left = MakeOperator(SNT_OPERATOR, op, left->line, {left, right});
    }
    return left;
}

cSyntaxNode* cScriptParser::ParseUnary() {
    cDepthGuard guard(*this);
    if (IsEnd()) {
        EndOfInput("expression");
    }
    const sToken& token = GetToken();
    const std::int32_t line = token.line;
    if (IsSeparator(token, "-") || IsSeparator(token, "!") || IsSeparator(token, "++") || IsSeparator(token, "--")) {
        const std::string op = token.text;
        Advance();
        if (op == "-" && !IsEnd() && GetToken().type == TOKEN_NUMBER) {
            cSyntaxNode* number = NewNode(SNT_NUMBER, "-" + GetToken().text, line);
            Advance();
            return ParsePostfix(number);
        }
        cSyntaxNode* operand = ParseUnary();
        return MakeOperator(SNT_PRE_OPERATOR, op, line, {operand});
    }
    if (token.type == TOKEN_IDENTIFIER && (token.text == "int" || token.text == "float" || token.text == "string")) {
        const std::string cast = token.text;
        Advance();
        cSyntaxNode* operand = ParseUnary();
        return MakeOperator(SNT_PRE_OPERATOR, cast, line, {operand});
    }
    return ParsePostfix(ParsePrimary());
}

cSyntaxNode* cScriptParser::ParsePrimary() {
    if (IsEnd()) {
        EndOfInput("expression");
    }
    const sToken& token = GetToken();
    const std::int32_t line = token.line;
    switch (token.type) {
    case TOKEN_NUMBER: {
        cSyntaxNode* node = NewNode(SNT_NUMBER, token.text, line);
        Advance();
        return node;
    }
    case TOKEN_STRING: {
        cSyntaxNode* node = NewNode(SNT_STRING, token.text, line);
        Advance();
        return node;
    }
    case TOKEN_CHAR: {
        cSyntaxNode* node = NewNode(SNT_LITERAL, "'" + token.text + "'", line);
        Advance();
        return node;
    }
    case TOKEN_BOOLEAN: {
        cSyntaxNode* node = NewNode(SNT_LITERAL, token.text, line);
        Advance();
        return node;
    }
    case TOKEN_SEPARATOR:
        if (token.text == "(") {
            Advance();
            cSyntaxNode* inner = ParseBinary(0);
            ExpectToken(")");
            return inner;
        }
        if (token.text == "::") {
            Advance();
            cSyntaxNode* name = ParseNameOrCall();
            return MakeOperator(SNT_PRE_OPERATOR, "::", line, {name});
        }
        Unexpected();
    default:
        break;
    }
    if (token.text == "typeof") {
        Advance();
        ExpectToken("(");
        const sLookahead look = LookAtQualifiedName();
        cSyntaxNode* operand = (look.isType && !look.parenthesis) ? ParseType() : ParseBinary(0);
        ExpectToken(")");
        return MakeOperator(SNT_TYPEOF, "typeof", line, {operand});
    }
    return ParseNameOrCall();
}

cSyntaxNode* cScriptParser::ParseNameOrCall() {
    if (IsEnd()) {
        EndOfInput("name");
    }
    const sToken& token = GetToken();
    if (token.type != TOKEN_IDENTIFIER || !IsValidName(token.text)) {
        Unexpected();
    }
    const std::int32_t line = token.line;
    const std::string name = token.text;
    Advance();
    if (!Is("(")) {
        return NewNode(SNT_IDENTIFIER, name, line);
    }
    Advance(); // "("
    cSyntaxNode* call = NewNode(SNT_FUNCTION_CALL, name, line);
    std::int32_t height = 0;
    if (!Is(")")) {
        do {
            cSyntaxNode* argument = ParseBinary(0);
            height = std::max(height, argument->height);
            call->children.push_back(argument);
        } while (AcceptToken(","));
    }
    ExpectToken(")");
    if (height + 1 > kMaxExpressionHeight) {
        SyntaxError("expression is too complex, at most %d levels are allowed", kMaxExpressionHeight);
    }
    call->height = height + 1;
    return call;
}

cSyntaxNode* cScriptParser::ParsePostfix(cSyntaxNode* node) {
    while (!IsEnd()) {
        const sToken& token = GetToken();
        if (IsSeparator(token, ".") || IsSeparator(token, "->") || IsSeparator(token, "::")) {
            const std::string op = token.text;
            Advance();
            cSyntaxNode* member = ParseNameOrCall();
            node = MakeOperator(SNT_OPERATOR, op, node->line, {node, member});
        } else if (IsSeparator(token, "++") || IsSeparator(token, "--")) {
            node = MakeOperator(SNT_POST_OPERATOR, token.text, node->line, {node});
            Advance();
        } else {
            break;
        }
    }
    return node;
}

} // namespace velmora::script
