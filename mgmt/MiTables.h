// The client's function tables, every slot in order. Slots the program never calls are kept
// as typed or opaque pointers so that every offset after them stays right.
#pragma once

#include <windows.h>

#include "mgmt/MiTypes.h"

// <windows.h> renames GetClassName to GetClassNameW; the tables' members keep the client's names.
#undef GetClassName

struct MI_SessionCallbacks {
    void* callbackContext;
    void (*writeMessage)(MI_Application* application, void* callbackContext, MI_Uint32 channel,
                         const MI_Char* message);
    void (*writeError)(MI_Application* application, void* callbackContext, MI_Instance* instance);
};

using MI_ResultAcknowledgement = MI_Result (*)(MI_Operation* operation);
using MI_OperationCallback_PromptUser = void (*)(MI_Operation* operation, void* callbackContext,
    const MI_Char* message, MI_PromptType promptType,
    MI_Result (*promptUserResult)(MI_Operation* operation, MI_OperationCallback_ResponseType response));
using MI_OperationCallback_WriteError = void (*)(MI_Operation* operation, void* callbackContext,
    MI_Instance* instance,
    MI_Result (*writeErrorResult)(MI_Operation* operation, MI_OperationCallback_ResponseType response));
using MI_OperationCallback_WriteMessage = void (*)(MI_Operation* operation, void* callbackContext,
    MI_Uint32 channel, const MI_Char* message);
using MI_OperationCallback_WriteProgress = void (*)(MI_Operation* operation, void* callbackContext,
    const MI_Char* activity, const MI_Char* currentOperation, const MI_Char* statusDescription,
    MI_Uint32 percentageComplete, MI_Uint32 secondsRemaining);
using MI_OperationCallback_Instance = void (*)(MI_Operation* operation, void* callbackContext,
    const MI_Instance* instance, MI_Boolean moreResults, MI_Result resultCode,
    const MI_Char* errorString, const MI_Instance* errorDetails, MI_ResultAcknowledgement ack);
using MI_OperationCallback_Indication = void (*)(MI_Operation* operation, void* callbackContext,
    const MI_Instance* instance, const MI_Char* bookmark, const MI_Char* machineID,
    MI_Boolean moreResults, MI_Result resultCode, const MI_Char* errorString,
    const MI_Instance* errorDetails, MI_ResultAcknowledgement ack);
using MI_OperationCallback_Class = void (*)(MI_Operation* operation, void* callbackContext,
    const MI_Class* classResult, MI_Boolean moreResults, MI_Result resultCode,
    const MI_Char* errorString, const MI_Instance* errorDetails, MI_ResultAcknowledgement ack);
using MI_OperationCallback_StreamedParameter = void (*)(MI_Operation* operation,
    void* callbackContext, const MI_Char* parameterName, MI_Type resultType, const MI_Value* result,
    MI_ResultAcknowledgement ack);
using MI_MainFunction = MI_Module* (*)(MI_Server* server);
using MI_Deserializer_ClassObjectNeeded = MI_Result (*)(void* context, const MI_Char* serverName,
    const MI_Char* namespaceName, const MI_Char* className, MI_Class** requestedClassObject);

// A null instanceResult and classResult make an operation synchronous: results are pulled.
struct MI_OperationCallbacks {
    void* callbackContext;
    MI_OperationCallback_PromptUser promptUser;
    MI_OperationCallback_WriteError writeError;
    MI_OperationCallback_WriteMessage writeMessage;
    MI_OperationCallback_WriteProgress writeProgress;
    MI_OperationCallback_Instance instanceResult;
    MI_OperationCallback_Indication indicationResult;
    MI_OperationCallback_Class classResult;
    MI_OperationCallback_StreamedParameter streamedParameterResult;
};

struct MI_ApplicationFT {
    MI_Result (*Close)(MI_Application* application);
    MI_Result (*NewSession)(MI_Application* application, const MI_Char* protocol,
        const MI_Char* destination, MI_DestinationOptions* options, MI_SessionCallbacks* callbacks,
        MI_Instance** extendedError, MI_Session* session);
    MI_Result (*NewHostedProvider)(MI_Application* application, const MI_Char* namespaceName,
        const MI_Char* providerName, MI_MainFunction mi_Main, MI_Instance** extendedError,
        MI_HostedProvider* provider);
    MI_Result (*NewInstance)(MI_Application* application, const MI_Char* className,
        const MI_ClassDecl* classRTTI, MI_Instance** instance);
    MI_Result (*NewDestinationOptions)(MI_Application* application, MI_DestinationOptions* options);
    MI_Result (*NewOperationOptions)(MI_Application* application,
        MI_Boolean customOptionsMustUnderstand, MI_OperationOptions* options);
    MI_Result (*NewSubscriptionDeliveryOptions)(MI_Application* application,
        MI_SubscriptionDeliveryType deliveryType, MI_SubscriptionDeliveryOptions* deliveryOptions);
    MI_Result (*NewSerializer)(MI_Application* application, MI_Uint32 flags, MI_Char* format,
        MI_Serializer* serializer);
    MI_Result (*NewDeserializer)(MI_Application* application, MI_Uint32 flags, MI_Char* format,
        MI_Deserializer* deserializer);
    MI_Result (*NewInstanceFromClass)(MI_Application* application, const MI_Char* className,
        const MI_Class* classObject, MI_Instance** instance);
    MI_Result (*NewClass)(MI_Application* application, const MI_ClassDecl* classDecl,
        const MI_Char* namespaceName, const MI_Char* serverName, MI_Class** classObject);
};

struct MI_SessionFT {
    MI_Result (*Close)(MI_Session* session, void* completionContext,
        void (*completionCallback)(void* completionContext));
    MI_Result (*GetApplication)(MI_Session* session, MI_Application* application);
    void (*GetInstance)(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
        const MI_Char* namespaceName, const MI_Instance* inboundInstance,
        MI_OperationCallbacks* callbacks, MI_Operation* operation);
    void (*ModifyInstance)(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
        const MI_Char* namespaceName, const MI_Instance* inboundInstance,
        MI_OperationCallbacks* callbacks, MI_Operation* operation);
    void (*CreateInstance)(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
        const MI_Char* namespaceName, const MI_Instance* inboundInstance,
        MI_OperationCallbacks* callbacks, MI_Operation* operation);
    void (*DeleteInstance)(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
        const MI_Char* namespaceName, const MI_Instance* inboundInstance,
        MI_OperationCallbacks* callbacks, MI_Operation* operation);
    void (*Invoke)(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
        const MI_Char* namespaceName, const MI_Char* className, const MI_Char* methodName,
        const MI_Instance* inboundInstance, const MI_Instance* inboundProperties,
        MI_OperationCallbacks* callbacks, MI_Operation* operation);
    void (*EnumerateInstances)(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
        const MI_Char* namespaceName, const MI_Char* className, MI_Boolean keysOnly,
        MI_OperationCallbacks* callbacks, MI_Operation* operation);
    void (*QueryInstances)(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
        const MI_Char* namespaceName, const MI_Char* queryDialect, const MI_Char* queryExpression,
        MI_OperationCallbacks* callbacks, MI_Operation* operation);
    void (*AssociatorInstances)(MI_Session* session, MI_Uint32 flags,
        MI_OperationOptions* options, const MI_Char* namespaceName,
        const MI_Instance* instanceKeys, const MI_Char* assocClass, const MI_Char* resultClass,
        const MI_Char* role, const MI_Char* resultRole, MI_Boolean keysOnly,
        MI_OperationCallbacks* callbacks, MI_Operation* operation);
    void (*ReferenceInstances)(MI_Session* session, MI_Uint32 flags,
        MI_OperationOptions* options, const MI_Char* namespaceName,
        const MI_Instance* instanceKeys, const MI_Char* resultClass, const MI_Char* role,
        MI_Boolean keysOnly, MI_OperationCallbacks* callbacks, MI_Operation* operation);
    void (*Subscribe)(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
        const MI_Char* namespaceName, const MI_Char* queryDialect, const MI_Char* queryExpression,
        const MI_SubscriptionDeliveryOptions* deliverOptions, MI_OperationCallbacks* callbacks,
        MI_Operation* operation);
    void (*GetClass)(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
        const MI_Char* namespaceName, const MI_Char* className, MI_OperationCallbacks* callbacks,
        MI_Operation* operation);
    void (*EnumerateClasses)(MI_Session* session, MI_Uint32 flags, MI_OperationOptions* options,
        const MI_Char* namespaceName, const MI_Char* className, MI_Boolean classNamesOnly,
        MI_OperationCallbacks* callbacks, MI_Operation* operation);
    void (*TestConnection)(MI_Session* session, MI_Uint32 flags, MI_OperationCallbacks* callbacks,
        MI_Operation* operation);
};

struct MI_OperationFT {
    MI_Result (*Close)(MI_Operation* operation);
    MI_Result (*Cancel)(MI_Operation* operation, MI_CancellationReason reason);
    MI_Result (*GetSession)(MI_Operation* operation, MI_Session* session);
    MI_Result (*GetInstance)(MI_Operation* operation, const MI_Instance** instance,
        MI_Boolean* moreResults, MI_Result* result, const MI_Char** errorMessage,
        const MI_Instance** completionDetails);
    MI_Result (*GetIndication)(MI_Operation* operation, const MI_Instance** instance,
        const MI_Char** bookmark, const MI_Char** machineID, MI_Boolean* moreResults,
        MI_Result* result, const MI_Char** errorMessage, const MI_Instance** completionDetails);
    MI_Result (*GetClass)(MI_Operation* operation, const MI_Class** classResult,
        MI_Boolean* moreResults, MI_Result* result, const MI_Char** errorMessage,
        const MI_Instance** completionDetails);
};

struct MI_InstanceFT {
    MI_Result (*Clone)(const MI_Instance* self, MI_Instance** newInstance);
    MI_Result (*Destruct)(MI_Instance* self);
    MI_Result (*Delete)(MI_Instance* self);
    MI_Result (*IsA)(const MI_Instance* self, const MI_ClassDecl* classDecl, MI_Boolean* flag);
    MI_Result (*GetClassName)(const MI_Instance* self, const MI_Char** className);
    MI_Result (*SetNameSpace)(MI_Instance* self, const MI_Char* nameSpace);
    MI_Result (*GetNameSpace)(const MI_Instance* self, const MI_Char** nameSpace);
    MI_Result (*GetElementCount)(const MI_Instance* self, MI_Uint32* count);
    MI_Result (*AddElement)(MI_Instance* self, const MI_Char* name, const MI_Value* value,
        MI_Type type, MI_Uint32 flags);
    MI_Result (*SetElement)(MI_Instance* self, const MI_Char* name, const MI_Value* value,
        MI_Type type, MI_Uint32 flags);
    MI_Result (*SetElementAt)(MI_Instance* self, MI_Uint32 index, const MI_Value* value,
        MI_Type type, MI_Uint32 flags);
    MI_Result (*GetElement)(const MI_Instance* self, const MI_Char* name, MI_Value* value,
        MI_Type* type, MI_Uint32* flags, MI_Uint32* index);
    MI_Result (*GetElementAt)(const MI_Instance* self, MI_Uint32 index, const MI_Char** name,
        MI_Value* value, MI_Type* type, MI_Uint32* flags);
    MI_Result (*ClearElement)(MI_Instance* self, const MI_Char* name);
    MI_Result (*ClearElementAt)(MI_Instance* self, MI_Uint32 index);
    MI_Result (*GetServerName)(const MI_Instance* self, const MI_Char** name);
    MI_Result (*SetServerName)(MI_Instance* self, const MI_Char* name);
    MI_Result (*GetClass)(const MI_Instance* self, MI_Class** instanceClass);
};

struct MI_ClassFT {
    MI_Result (*GetClassName)(const MI_Class* self, const MI_Char** className);
    MI_Result (*GetNameSpace)(const MI_Class* self, const MI_Char** nameSpace);
    MI_Result (*GetServerName)(const MI_Class* self, const MI_Char** serverName);
    MI_Result (*GetElementCount)(const MI_Class* self, MI_Uint32* count);
    MI_Result (*GetElement)(const MI_Class* self, const MI_Char* name, MI_Value* value,
        MI_Boolean* valueExists, MI_Type* type, MI_Char** referenceClass,
        MI_QualifierSet* qualifierSet, MI_Uint32* flags, MI_Uint32* index);
    MI_Result (*GetElementAt)(const MI_Class* self, MI_Uint32 index, const MI_Char** name,
        MI_Value* value, MI_Boolean* valueExists, MI_Type* type, MI_Char** referenceClass,
        MI_QualifierSet* qualifierSet, MI_Uint32* flags);
    MI_Result (*GetClassQualifierSet)(const MI_Class* self, MI_QualifierSet* qualifierSet);
    MI_Result (*GetMethodCount)(const MI_Class* self, MI_Uint32* count);
    MI_Result (*GetMethodAt)(const MI_Class* self, MI_Uint32 index, const MI_Char** name,
        MI_QualifierSet* qualifierSet, MI_ParameterSet* parameterSet);
    MI_Result (*GetMethod)(const MI_Class* self, const MI_Char* name,
        MI_QualifierSet* qualifierSet, MI_ParameterSet* parameterSet, MI_Uint32* index);
    MI_Result (*GetParentClassName)(const MI_Class* self, const MI_Char** name);
    MI_Result (*GetParentClass)(const MI_Class* self, MI_Class** parentClass);
    MI_Result (*Delete)(MI_Class* self);
    MI_Result (*Clone)(const MI_Class* self, MI_Class** newClass);
};

struct MI_SerializerFT {
    MI_Result (*Close)(MI_Serializer* serializer);
    MI_Result (*SerializeClass)(MI_Serializer* serializer, MI_Uint32 flags,
        const MI_Class* classObject, MI_Uint8* clientBuffer, MI_Uint32 clientBufferLength,
        MI_Uint32* clientBufferNeeded);
    MI_Result (*SerializeInstance)(MI_Serializer* serializer, MI_Uint32 flags,
        const MI_Instance* instanceObject, MI_Uint8* clientBuffer, MI_Uint32 clientBufferLength,
        MI_Uint32* clientBufferNeeded);
};

struct MI_DeserializerFT {
    MI_Result (*Close)(MI_Deserializer* deserializer);
    MI_Result (*DeserializeClass)(MI_Deserializer* deserializer, MI_Uint32 flags,
        MI_Uint8* serializedBuffer, MI_Uint32 serializedBufferLength, MI_Class* parentClass,
        const MI_Char* serverName, const MI_Char* namespaceName,
        MI_Deserializer_ClassObjectNeeded classObjectNeeded, void* classObjectNeededContext,
        MI_Uint32* serializedBufferRead, MI_Class** classObject, MI_Instance** cimErrorDetails);
    MI_Result (*Class_GetClassName)(MI_Deserializer* deserializer, MI_Uint8* serializedBuffer,
        MI_Uint32 serializedBufferLength, MI_Char* className, MI_Uint32* classNameLength,
        MI_Instance** cimErrorDetails);
    MI_Result (*Class_GetParentClassName)(MI_Deserializer* deserializer,
        MI_Uint8* serializedBuffer, MI_Uint32 serializedBufferLength, MI_Char* parentClassName,
        MI_Uint32* parentClassNameLength, MI_Instance** cimErrorDetails);
    MI_Result (*DeserializeInstance)(MI_Deserializer* deserializer, MI_Uint32 flags,
        MI_Uint8* serializedBuffer, MI_Uint32 serializedBufferLength, MI_Class** classObjects,
        MI_Uint32 numberClassObjects, MI_Deserializer_ClassObjectNeeded classObjectNeeded,
        void* classObjectNeededContext, MI_Uint32* serializedBufferRead,
        MI_Instance** instanceObject, MI_Instance** cimErrorDetails);
    MI_Result (*Instance_GetClassName)(MI_Deserializer* deserializer, MI_Uint8* serializedBuffer,
        MI_Uint32 serializedBufferLength, MI_Char* className, MI_Uint32* classNameLength,
        MI_Instance** cimErrorDetails);
};

// Tables the program never calls: only their size matters, to keep the tables around them right.
using MI_OpaqueSlot = void (*)();

struct MI_HostedProviderFT { MI_OpaqueSlot Close, GetApplication; };
struct MI_UtilitiesFT { MI_OpaqueSlot MapErrorToMiErrorCategory, CimErrorFromErrorCode; };
struct MI_QualifierSetFT { MI_OpaqueSlot GetQualifierCount, GetQualifierAt, GetQualifier; };
struct MI_ParameterSetFT {
    MI_OpaqueSlot GetMethodReturnType, GetParameterCount, GetParameterAt, GetParameter;
};
// Destination options: the program sets only the destination's credentials.
struct MI_DestinationOptionsFT {
    void (*Delete)(MI_DestinationOptions* options);
    MI_OpaqueSlot SetString, SetNumber;
    MI_Result (*AddCredentials)(MI_DestinationOptions* options, const MI_Char* optionName,
        const MI_UserCredentials* credentials, MI_Uint32 flags);
    MI_OpaqueSlot GetString, GetNumber, GetOptionCount, GetOptionAt, GetOption,
        GetCredentialsCount, GetCredentialsAt, GetCredentialsPasswordAt, Clone, SetInterval,
        GetInterval;
};
struct MI_OperationOptionsFT {
    MI_OpaqueSlot Delete, SetString, SetNumber, SetCustomOption, GetString, GetNumber,
        GetOptionCount, GetOptionAt, GetOption, GetEnabledChannels, Clone, SetInterval, GetInterval;
};
struct MI_SubscriptionDeliveryOptionsFT {
    MI_OpaqueSlot SetString, SetNumber, SetDateTime, SetInterval, AddCredentials, Delete,
        GetString, GetNumber, GetDateTime, GetInterval, GetOptionCount, GetOptionAt, GetOption,
        GetCredentialsCount, GetCredentialsAt, GetCredentialsPasswordAt, Clone;
};

// The exported table of tables (mi.dll's data export mi_clientFT_V1 points at one).
struct MI_ClientFT_V1 {
    const MI_ApplicationFT* applicationFT;
    const MI_SessionFT* sessionFT;
    const MI_OperationFT* operationFT;
    const MI_HostedProviderFT* hostedProviderFT;
    const MI_SerializerFT* serializerFT;
    const MI_DeserializerFT* deserializerFT;
    const MI_SubscriptionDeliveryOptionsFT* subscribeDeliveryOptionsFT;
    const MI_DestinationOptionsFT* destinationOptionsFT;
    const MI_OperationOptionsFT* operationOptionsFT;
    const MI_UtilitiesFT* utilitiesFT;
};

using MI_Application_InitializeV1_Function = MI_Result (*)(MI_Uint32 flags,
    const MI_Char* applicationID, MI_Instance** extendedError, MI_Application* application);

static_assert(sizeof(MI_SessionCallbacks) == 24);
static_assert(sizeof(MI_OperationCallbacks) == 72);
static_assert(offsetof(MI_OperationCallbacks, instanceResult) == 40);
static_assert(offsetof(MI_OperationCallbacks, classResult) == 56);
static_assert(sizeof(MI_ClientFT_V1) == 80 && offsetof(MI_ClientFT_V1, serializerFT) == 32);
static_assert(offsetof(MI_ClientFT_V1, utilitiesFT) == 72);
static_assert(sizeof(MI_ApplicationFT) == 88 && offsetof(MI_ApplicationFT, NewSession) == 8);
static_assert(offsetof(MI_ApplicationFT, NewInstance) == 24);
static_assert(offsetof(MI_ApplicationFT, NewDestinationOptions) == 32);
static_assert(offsetof(MI_ApplicationFT, NewSerializer) == 56);
static_assert(offsetof(MI_ApplicationFT, NewInstanceFromClass) == 72);
static_assert(sizeof(MI_SessionFT) == 120 && offsetof(MI_SessionFT, GetInstance) == 16);
static_assert(offsetof(MI_SessionFT, Invoke) == 48 && offsetof(MI_SessionFT, QueryInstances) == 64);
static_assert(offsetof(MI_SessionFT, GetClass) == 96);
static_assert(sizeof(MI_OperationFT) == 48 && offsetof(MI_OperationFT, GetInstance) == 24);
static_assert(offsetof(MI_OperationFT, GetClass) == 40);
static_assert(sizeof(MI_InstanceFT) == 144 && offsetof(MI_InstanceFT, Delete) == 16);
static_assert(offsetof(MI_InstanceFT, GetClassName) == 32 && offsetof(MI_InstanceFT, GetNameSpace) == 48);
static_assert(offsetof(MI_InstanceFT, AddElement) == 64 && offsetof(MI_InstanceFT, SetElement) == 72);
static_assert(offsetof(MI_InstanceFT, GetElement) == 88 && offsetof(MI_InstanceFT, GetElementAt) == 96);
static_assert(offsetof(MI_InstanceFT, GetClass) == 136);
static_assert(sizeof(MI_ClassFT) == 112 && offsetof(MI_ClassFT, GetElementCount) == 24);
static_assert(offsetof(MI_ClassFT, Delete) == 96 && offsetof(MI_ClassFT, Clone) == 104);
static_assert(sizeof(MI_SerializerFT) == 24 && offsetof(MI_SerializerFT, SerializeInstance) == 16);
static_assert(sizeof(MI_DeserializerFT) == 48);
static_assert(sizeof(MI_HostedProviderFT) == 16 && sizeof(MI_DestinationOptionsFT) == 120);
static_assert(offsetof(MI_DestinationOptionsFT, Delete) == 0);
static_assert(offsetof(MI_DestinationOptionsFT, AddCredentials) == 24);
static_assert(offsetof(MI_DestinationOptionsFT, GetCredentialsCount) == 72);
static_assert(offsetof(MI_DestinationOptionsFT, GetInterval) == 112);
static_assert(offsetof(MI_ClientFT_V1, destinationOptionsFT) == 56);
static_assert(sizeof(MI_OperationOptionsFT) == 104 && sizeof(MI_SubscriptionDeliveryOptionsFT) == 136);
static_assert(sizeof(MI_UtilitiesFT) == 16 && sizeof(MI_QualifierSetFT) == 24);
static_assert(sizeof(MI_ParameterSetFT) == 32);
