// The management client as the program calls it: the entry point and client table (bound at
// link time to System32's mi.dll or to the simulated hosts) and the inline wrappers that mi.h
// would provide. A wrapper given a null handle or a handle without a table returns
// MI_RESULT_INVALID_PARAMETER without calling anything.
#pragma once

#include <cstring>

#include "mgmt/MiTables.h"

// Initialises a client application handle. Production forwards to mi.dll's export; a missing
// mi.dll or export answers MI_RESULT_FAILED.
MI_Result MI_Application_InitializeV1(MI_Uint32 flags, const MI_Char* applicationID,
                                      MI_Instance** extendedError, MI_Application* application);

// The client's table of tables, or null before a successful initialisation.
const MI_ClientFT_V1* MiClientTable();

inline MI_Result MI_Application_Close(MI_Application* application)
{
    if (!application || !application->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return application->ft->Close(application);
}

inline MI_Result MI_Application_NewSession(MI_Application* application, const MI_Char* protocol,
    const MI_Char* destination, MI_DestinationOptions* options, MI_SessionCallbacks* callbacks,
    MI_Instance** extendedError, MI_Session* session)
{
    if (!application || !application->ft) {
        if (session)
            std::memset(session, 0, sizeof(*session));
        return MI_RESULT_INVALID_PARAMETER;
    }
    return application->ft->NewSession(application, protocol, destination, options, callbacks,
                                       extendedError, session);
}

inline MI_Result MI_Application_NewDestinationOptions(MI_Application* application,
    MI_DestinationOptions* options)
{
    if (!application || !application->ft) {
        if (options)
            std::memset(options, 0, sizeof(*options));
        return MI_RESULT_INVALID_PARAMETER;
    }
    return application->ft->NewDestinationOptions(application, options);
}

inline void MI_DestinationOptions_Delete(MI_DestinationOptions* options)
{
    if (options && options->ft)
        options->ft->Delete(options);
}

// Sets the credentials for talking to the destination (flags 0, as mi.h passes them).
inline MI_Result MI_DestinationOptions_AddDestinationCredentials(MI_DestinationOptions* options,
    const MI_UserCredentials* credentials)
{
    if (!options || !options->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return options->ft->AddCredentials(options, MI_DESTINATIONOPTIONS_DESTINATION_CREDENTIALS,
                                       credentials, 0);
}

inline MI_Result MI_Application_NewInstance(MI_Application* application, const MI_Char* className,
    const MI_ClassDecl* classRTTI, MI_Instance** instance)
{
    if (!application || !application->ft) {
        if (instance)
            *instance = nullptr;
        return MI_RESULT_INVALID_PARAMETER;
    }
    return application->ft->NewInstance(application, className, classRTTI, instance);
}

inline MI_Result MI_Application_NewSerializer(MI_Application* application, MI_Uint32 flags,
    MI_Char* format, MI_Serializer* serializer)
{
    if (!application || !application->ft) {
        if (serializer)
            std::memset(serializer, 0, sizeof(*serializer));
        return MI_RESULT_INVALID_PARAMETER;
    }
    return application->ft->NewSerializer(application, flags, format, serializer);
}

inline MI_Result MI_Application_NewInstanceFromClass(MI_Application* application,
    const MI_Char* className, const MI_Class* classObject, MI_Instance** instance)
{
    if (!application || !application->ft) {
        if (instance)
            *instance = nullptr;
        return MI_RESULT_INVALID_PARAMETER;
    }
    return application->ft->NewInstanceFromClass(application, className, classObject, instance);
}

inline MI_Result MI_Session_Close(MI_Session* session, void* completionContext,
    void (*completionCallback)(void* completionContext))
{
    if (!session || !session->ft) {
        if (completionCallback) {
            completionCallback(completionContext);
            return MI_RESULT_OK;
        }
        return MI_RESULT_INVALID_PARAMETER;
    }
    return session->ft->Close(session, completionContext, completionCallback);
}

namespace mi_detail {
// The fallback of the session operations: an empty operation and, for asynchronous callers,
// an immediate invalid-parameter result.
inline void FailInstanceOperation(MI_OperationCallbacks* callbacks, MI_Operation* operation)
{
    if (operation)
        std::memset(operation, 0, sizeof(*operation));
    if (callbacks && callbacks->instanceResult)
        callbacks->instanceResult(nullptr, callbacks->callbackContext, nullptr, MI_FALSE,
                                  MI_RESULT_INVALID_PARAMETER, nullptr, nullptr, nullptr);
}
}

inline void MI_Session_GetInstance(MI_Session* session, MI_Uint32 flags,
    MI_OperationOptions* options, const MI_Char* namespaceName, const MI_Instance* inboundInstance,
    MI_OperationCallbacks* callbacks, MI_Operation* operation)
{
    if (!session || !session->ft)
        return mi_detail::FailInstanceOperation(callbacks, operation);
    session->ft->GetInstance(session, flags, options, namespaceName, inboundInstance, callbacks,
                             operation);
}

inline void MI_Session_Invoke(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
    const MI_Char* namespaceName, const MI_Char* className, const MI_Char* methodName,
    const MI_Instance* inboundInstance, const MI_Instance* inboundProperties,
    MI_OperationCallbacks* callbacks, MI_Operation* operation)
{
    if (!session || !session->ft)
        return mi_detail::FailInstanceOperation(callbacks, operation);
    session->ft->Invoke(session, flags, options, namespaceName, className, methodName,
                        inboundInstance, inboundProperties, callbacks, operation);
}

inline void MI_Session_QueryInstances(MI_Session* session, MI_Uint32 flags,
    MI_OperationOptions* options, const MI_Char* namespaceName, const MI_Char* queryDialect,
    const MI_Char* queryExpression, MI_OperationCallbacks* callbacks, MI_Operation* operation)
{
    if (!session || !session->ft)
        return mi_detail::FailInstanceOperation(callbacks, operation);
    session->ft->QueryInstances(session, flags, options, namespaceName, queryDialect,
                                queryExpression, callbacks, operation);
}

inline void MI_Session_GetClass(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
    const MI_Char* namespaceName, const MI_Char* className, MI_OperationCallbacks* callbacks,
    MI_Operation* operation)
{
    if (!session || !session->ft) {
        if (operation)
            std::memset(operation, 0, sizeof(*operation));
        if (callbacks && callbacks->classResult)
            callbacks->classResult(nullptr, callbacks->callbackContext, nullptr, MI_FALSE,
                                   MI_RESULT_INVALID_PARAMETER, nullptr, nullptr, nullptr);
        return;
    }
    session->ft->GetClass(session, flags, options, namespaceName, className, callbacks, operation);
}

inline MI_Result MI_Operation_GetInstance(MI_Operation* operation, const MI_Instance** instance,
    MI_Boolean* moreResults, MI_Result* result, const MI_Char** errorMessage,
    const MI_Instance** completionDetails)
{
    if (!operation || !operation->ft) {
        if (result)
            *result = MI_RESULT_INVALID_PARAMETER;
        if (moreResults)
            *moreResults = MI_FALSE;
        return MI_RESULT_INVALID_PARAMETER;
    }
    return operation->ft->GetInstance(operation, instance, moreResults, result, errorMessage,
                                      completionDetails);
}

inline MI_Result MI_Operation_GetClass(MI_Operation* operation, const MI_Class** classResult,
    MI_Boolean* moreResults, MI_Result* result, const MI_Char** errorMessage,
    const MI_Instance** completionDetails)
{
    if (!operation || !operation->ft) {
        if (result)
            *result = MI_RESULT_INVALID_PARAMETER;
        if (moreResults)
            *moreResults = MI_FALSE;
        return MI_RESULT_INVALID_PARAMETER;
    }
    return operation->ft->GetClass(operation, classResult, moreResults, result, errorMessage,
                                   completionDetails);
}

// May be called from another thread to end a pending call on the operation.
inline MI_Result MI_Operation_Cancel(MI_Operation* operation, MI_CancellationReason reason)
{
    if (!operation || !operation->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return operation->ft->Cancel(operation, reason);
}

inline MI_Result MI_Operation_Close(MI_Operation* operation)
{
    if (!operation || !operation->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return operation->ft->Close(operation);
}

inline MI_Result MI_Instance_Clone(const MI_Instance* self, MI_Instance** newInstance)
{
    if (!self || !self->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return self->ft->Clone(self, newInstance);
}

inline MI_Result MI_Instance_Delete(MI_Instance* self)
{
    if (!self || !self->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return self->ft->Delete(self);
}

inline MI_Result MI_Instance_GetClassName(const MI_Instance* self, const MI_Char** className)
{
    if (!self || !self->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return self->ft->GetClassName(self, className);
}

inline MI_Result MI_Instance_GetNameSpace(const MI_Instance* self, const MI_Char** nameSpace)
{
    if (!self || !self->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return self->ft->GetNameSpace(self, nameSpace);
}

inline MI_Result MI_Instance_AddElement(MI_Instance* self, const MI_Char* name,
    const MI_Value* value, MI_Type type, MI_Uint32 flags)
{
    if (!self || !self->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return self->ft->AddElement(self, name, value, type, flags);
}

inline MI_Result MI_Instance_SetElement(MI_Instance* self, const MI_Char* name,
    const MI_Value* value, MI_Type type, MI_Uint32 flags)
{
    if (!self || !self->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return self->ft->SetElement(self, name, value, type, flags);
}

inline MI_Result MI_Instance_GetElement(const MI_Instance* self, const MI_Char* name,
    MI_Value* value, MI_Type* type, MI_Uint32* flags, MI_Uint32* index)
{
    if (!self || !self->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return self->ft->GetElement(self, name, value, type, flags, index);
}

inline MI_Result MI_Instance_GetElementAt(const MI_Instance* self, MI_Uint32 index,
    const MI_Char** name, MI_Value* value, MI_Type* type, MI_Uint32* flags)
{
    if (!self || !self->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return self->ft->GetElementAt(self, index, name, value, type, flags);
}

inline MI_Result MI_Class_GetElementCount(const MI_Class* self, MI_Uint32* count)
{
    if (!self || !self->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return self->ft->GetElementCount(self, count);
}

inline MI_Result MI_Class_Clone(const MI_Class* self, MI_Class** newClass)
{
    if (!self || !self->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return self->ft->Clone(self, newClass);
}

inline MI_Result MI_Class_Delete(MI_Class* self)
{
    if (!self || !self->ft)
        return MI_RESULT_INVALID_PARAMETER;
    return self->ft->Delete(self);
}

// mi.h routes the serializer through the exported client table without checks; without a
// table (no client loaded) we answer invalid parameter instead of following a null pointer.
inline MI_Result MI_Serializer_SerializeInstance(MI_Serializer* serializer, MI_Uint32 flags,
    const MI_Instance* instanceObject, MI_Uint8* clientBuffer, MI_Uint32 clientBufferLength,
    MI_Uint32* clientBufferNeeded)
{
    const MI_ClientFT_V1* table = MiClientTable();
    if (!table || !table->serializerFT)
        return MI_RESULT_INVALID_PARAMETER;
    return table->serializerFT->SerializeInstance(serializer, flags, instanceObject, clientBuffer,
                                                  clientBufferLength, clientBufferNeeded);
}

inline MI_Result MI_Serializer_Close(MI_Serializer* serializer)
{
    const MI_ClientFT_V1* table = MiClientTable();
    if (!table || !table->serializerFT)
        return MI_RESULT_INVALID_PARAMETER;
    return table->serializerFT->Close(serializer);
}
