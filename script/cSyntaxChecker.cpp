#include "script/cSyntaxChecker.h"

#include "script/cScriptParser.h"

namespace velmora::script {

void cSyntaxChecker::MissingNode(const char* check) {
    m_Messages.Fatal("cSyntaxChecker::%s : NULL-pointer to node", check);
}

void cSyntaxChecker::CheckNode(const cSyntaxNode* node) {
    if (!node) {
        MissingNode("CheckNode");
    }
    switch (node->type) {
    case SNT_NAMESPACE: CheckNamespace(node); break;
    case SNT_CLASS: CheckClass(node); break;
    case SNT_DECLARATION: CheckDeclaration(node); break;
    default: m_Messages.Error(node->line, "cSyntaxChecker::CheckNode : unhandled node type %d", node->type); break;
    }
}

void cSyntaxChecker::CheckNamespace(const cSyntaxNode* node) {
    if (!node) {
        MissingNode("CheckNamespace");
    }
    for (const cSyntaxNode* child : node->children) {
        CheckNode(child);
    }
}

void cSyntaxChecker::CheckClass(const cSyntaxNode* node) {
    if (!node) {
        MissingNode("CheckClass");
    }
    for (const cSyntaxNode* child : node->children) {
        if (!child) {
            m_Messages.Error(node->line, "class '%s' has an empty node", node->text.c_str());
            continue;
        }
        if (child->type == SNT_TYPE) {
            CheckType(child);
        } else if (child->type == SNT_DECLARATION) {
            CheckDeclaration(child);
            const cSyntaxNode* arguments = child->Child(4);
            if (arguments && arguments->type == SNT_FUNCTION_ARGUMENTS && !child->Child(5)) {
                m_Messages.Error(child->line, "class method '%s' must be defined", child->text.c_str());
            }
        } else {
            m_Messages.Error(child->line, "class '%s' has unknown node", node->text.c_str());
        }
    }
}

void cSyntaxChecker::CheckDeclaration(const cSyntaxNode* node) {
    if (!node || node->children.size() < 5) {
        MissingNode("CheckDeclaration");
    }
    const bool isConst = node->Child(0) != nullptr;
    CheckType(node->Child(1));
    CheckName(node->Child(3));
    const cSyntaxNode* fifth = node->Child(4);
    if (fifth && fifth->type == SNT_FUNCTION_ARGUMENTS) {
        const cSyntaxNode* body = node->Child(5);
        CheckFunctionArguments(fifth, body != nullptr);
        if (body) {
            CheckStatementBlock(body);
        }
        return;
    }
    // Variables: the first declarator, then triples of reference, name and initializer.
    if (isConst && !fifth) {
        m_Messages.Error(node->line, "const object '%s' must be initialized", node->Child(3)->text.c_str());
    }
    CheckOptionalExpression(fifth);
    for (std::size_t i = 5; i + 1 < node->children.size(); i += 3) {
        const cSyntaxNode* name = node->Child(i + 1);
        CheckName(name);
        const cSyntaxNode* initializer = node->Child(i + 2);
        if (isConst && !initializer) {
            m_Messages.Error(name->line, "const object '%s' must be initialized", name->text.c_str());
        }
        CheckOptionalExpression(initializer);
    }
}

void cSyntaxChecker::CheckOptionalExpression(const cSyntaxNode* node) {
    if (node) {
        CheckExpression(node);
    }
}

void cSyntaxChecker::CheckFunctionArguments(const cSyntaxNode* node, bool definition) {
    if (!node) {
        MissingNode("CheckFunctionArguments");
    }
    for (const cSyntaxNode* argument : node->children) {
        if (!argument) {
            MissingNode("CheckFunctionArguments");
        }
        CheckType(argument->Child(1));
        const cSyntaxNode* name = argument->Child(3);
        if (name) {
            CheckName(name);
        } else if (definition) {
            m_Messages.Error(argument->line, "argument name expected in function definition");
        }
    }
}

void cSyntaxChecker::CheckStatementBlock(const cSyntaxNode* node) {
    if (!node) {
        m_Messages.Fatal("cSyntaxChecker::CheckStatementBlock : trying to check empty node");
    }
    for (const cSyntaxNode* statement : node->children) {
        if (!statement) {
            MissingNode("CheckStatementBlock");
        }
        CheckStatement(statement);
    }
}

void cSyntaxChecker::CheckStatement(const cSyntaxNode* node) {
    switch (node->type) {
    case SNT_STATEMENT_BLOCK: CheckStatementBlock(node); break;
    case SNT_DECLARATION: CheckDeclaration(node); break;
    case SNT_EXPRESSION: CheckExpression(node); break;
    case SNT_IF: CheckIf(node); break;
    case SNT_WHILE: CheckWhile(node); break;
    case SNT_DO: CheckDo(node); break;
    case SNT_FOR: CheckFor(node); break;
    case SNT_RETURN: CheckOptionalExpression(node->Child(0)); break;
    case SNT_BREAK:
    case SNT_CONTINUE: break;
    default:
        m_Messages.Error(node->line, "cSyntaxChecker::CheckStatementBlock : unhandled node type %d, line %d",
                         node->type, node->line);
        break;
    }
}

namespace {
// The expression inside an SNT_CONDITION slot, or null when the slot or the condition is empty.
const cSyntaxNode* ConditionOf(const cSyntaxNode* condition) { return condition ? condition->Child(0) : nullptr; }
} // namespace

void cSyntaxChecker::CheckWhile(const cSyntaxNode* node) {
    if (!node) {
        MissingNode("CheckWhile");
    }
    if (node->children.size() != 2) {
        m_Messages.Error(node->line, "internal compiler error, 'while' statement has %d children",
                         static_cast<int>(node->children.size()));
        return;
    }
    const cSyntaxNode* condition = ConditionOf(node->Child(0));
    if (!condition) {
        m_Messages.Error(node->line, "'while' statement has no conditional expression");
    } else {
        CheckExpression(condition);
    }
    if (!node->Child(1)) {
        m_Messages.Error(node->line, "'while' has no statements");
    } else {
        CheckStatement(node->Child(1));
    }
}

void cSyntaxChecker::CheckDo(const cSyntaxNode* node) {
    if (!node) {
        MissingNode("CheckDo");
    }
    if (node->children.size() != 2) {
        m_Messages.Error(node->line, "internal compiler error, 'do' statement has %d children",
                         static_cast<int>(node->children.size()));
        return;
    }
    const cSyntaxNode* condition = ConditionOf(node->Child(0));
    if (!condition) {
        m_Messages.Error(node->line, "'do' statement has no conditional expression");
    } else {
        CheckExpression(condition);
    }
    if (!node->Child(1)) {
        m_Messages.Error(node->line, "'do' has no statements");
    } else {
        CheckStatement(node->Child(1));
    }
}

void cSyntaxChecker::CheckIf(const cSyntaxNode* node) {
    if (!node) {
        MissingNode("CheckIf");
    }
    const cSyntaxNode* condition = ConditionOf(node->Child(0));
    if (!condition) {
        m_Messages.Error(node->line, "'if' statement has no conditional expression");
    } else {
        CheckExpression(condition);
    }
    for (std::size_t i = 1; i < node->children.size(); ++i) {
        const cSyntaxNode* branch = node->Child(i);
        if (branch && branch->Child(0)) {
            CheckStatement(branch->Child(0));
        }
    }
}

void cSyntaxChecker::CheckFor(const cSyntaxNode* node) {
    CheckOptionalExpression(node->Child(0));
    CheckOptionalExpression(ConditionOf(node->Child(1)));
    CheckOptionalExpression(node->Child(2));
    if (node->Child(3)) {
        CheckStatement(node->Child(3));
    }
}

void cSyntaxChecker::CheckName(const cSyntaxNode* node) {
    if (!node) {
        MissingNode("CheckName");
    }
    if (!cScriptParser::IsValidName(node->text)) {
        m_Messages.Error(node->line, "'%s' isn't a valid name", node->text.c_str());
    }
}

void cSyntaxChecker::CheckType(const cSyntaxNode* node) {
    if (!node) {
        MissingNode("CheckType");
    }
    if (!(node->flags & SNF_KNOWN_TYPE)) {
        m_Messages.Error(node->line, "'%s' isn't a valid type", node->text.c_str());
    }
}

void cSyntaxChecker::CheckExpression(const cSyntaxNode* node) {
    if (!node) {
        MissingNode("CheckExpression");
    }
    switch (node->type) {
    case SNT_EXPRESSION:
    case SNT_PRE_OPERATOR:
    case SNT_POST_OPERATOR:
    case SNT_TYPEOF:
        if (node->children.size() != 1) {
            MissingNode("CheckExpression");
        }
        break;
    case SNT_OPERATOR:
        if (node->children.size() != 2) {
            MissingNode("CheckExpression");
        }
        break;
    default: break;
    }
    for (const cSyntaxNode* child : node->children) {
        if (!child) {
            MissingNode("CheckExpression");
        }
        if (child->type != SNT_TYPE) {
            CheckExpression(child);
        }
    }
}

} // namespace velmora::script
