// Our declarations of the Windows Management Infrastructure client types, ABI-exact for
// x64 Windows with 16-bit wide characters. mi.h is not available to every toolchain we build
// with, so the layouts are written out here and pinned by static_asserts.
#pragma once

#include <cstddef>
#include <cstdint>

using MI_Char = wchar_t;
using MI_Char16 = unsigned short;
using MI_Boolean = unsigned char;
using MI_Uint8 = unsigned char;
using MI_Sint8 = signed char;
using MI_Uint16 = unsigned short;
using MI_Sint16 = signed short;
using MI_Uint32 = unsigned int;
using MI_Sint32 = signed int;
using MI_Uint64 = unsigned long long;
using MI_Sint64 = signed long long;
using MI_Real32 = float;
using MI_Real64 = double;

inline constexpr MI_Boolean MI_TRUE = 1;
inline constexpr MI_Boolean MI_FALSE = 0;

enum MI_Result : int {
    MI_RESULT_OK = 0,
    MI_RESULT_FAILED = 1,
    MI_RESULT_ACCESS_DENIED = 2,
    MI_RESULT_INVALID_NAMESPACE = 3,
    MI_RESULT_INVALID_PARAMETER = 4,
    MI_RESULT_INVALID_CLASS = 5,
    MI_RESULT_NOT_FOUND = 6,
    MI_RESULT_NOT_SUPPORTED = 7,
    MI_RESULT_CLASS_HAS_CHILDREN = 8,
    MI_RESULT_CLASS_HAS_INSTANCES = 9,
    MI_RESULT_INVALID_SUPERCLASS = 10,
    MI_RESULT_ALREADY_EXISTS = 11,
    MI_RESULT_NO_SUCH_PROPERTY = 12,
    MI_RESULT_TYPE_MISMATCH = 13,
    MI_RESULT_QUERY_LANGUAGE_NOT_SUPPORTED = 14,
    MI_RESULT_INVALID_QUERY = 15,
    MI_RESULT_METHOD_NOT_AVAILABLE = 16,
    MI_RESULT_METHOD_NOT_FOUND = 17,
    MI_RESULT_NAMESPACE_NOT_EMPTY = 20,
    MI_RESULT_INVALID_ENUMERATION_CONTEXT = 21,
    MI_RESULT_INVALID_OPERATION_TIMEOUT = 22,
    MI_RESULT_PULL_HAS_BEEN_ABANDONED = 23,
    MI_RESULT_PULL_CANNOT_BE_ABANDONED = 24,
    MI_RESULT_FILTERED_ENUMERATION_NOT_SUPPORTED = 25,
    MI_RESULT_CONTINUATION_ON_ERROR_NOT_SUPPORTED = 26,
    MI_RESULT_SERVER_LIMITS_EXCEEDED = 27,
    MI_RESULT_SERVER_IS_SHUTTING_DOWN = 28,
};

enum MI_Type : int {
    MI_BOOLEAN = 0,
    MI_UINT8 = 1,
    MI_SINT8 = 2,
    MI_UINT16 = 3,
    MI_SINT16 = 4,
    MI_UINT32 = 5,
    MI_SINT32 = 6,
    MI_UINT64 = 7,
    MI_SINT64 = 8,
    MI_REAL32 = 9,
    MI_REAL64 = 10,
    MI_CHAR16 = 11,
    MI_DATETIME = 12,
    MI_STRING = 13,
    MI_REFERENCE = 14,
    MI_INSTANCE = 15,
    MI_BOOLEANA = 16,
    MI_UINT8A = 17,
    MI_SINT8A = 18,
    MI_UINT16A = 19,
    MI_SINT16A = 20,
    MI_UINT32A = 21,
    MI_SINT32A = 22,
    MI_UINT64A = 23,
    MI_SINT64A = 24,
    MI_REAL32A = 25,
    MI_REAL64A = 26,
    MI_CHAR16A = 27,
    MI_DATETIMEA = 28,
    MI_STRINGA = 29,
    MI_REFERENCEA = 30,
    MI_INSTANCEA = 31,
};

// The array bit of MI_Type; not a type of its own.
inline constexpr int MI_ARRAY = 16;

// Element and qualifier flags.
inline constexpr MI_Uint32 MI_FLAG_CLASS = 0x1;
inline constexpr MI_Uint32 MI_FLAG_METHOD = 0x2;
inline constexpr MI_Uint32 MI_FLAG_PROPERTY = 0x4;
inline constexpr MI_Uint32 MI_FLAG_PARAMETER = 0x8;
inline constexpr MI_Uint32 MI_FLAG_ASSOCIATION = 0x10;
inline constexpr MI_Uint32 MI_FLAG_INDICATION = 0x20;
inline constexpr MI_Uint32 MI_FLAG_REFERENCE = 0x40;
inline constexpr MI_Uint32 MI_FLAG_ANY = 0x7F;
inline constexpr MI_Uint32 MI_FLAG_ENABLEOVERRIDE = 0x80;
inline constexpr MI_Uint32 MI_FLAG_DISABLEOVERRIDE = 0x100;
inline constexpr MI_Uint32 MI_FLAG_RESTRICTED = 0x200;
inline constexpr MI_Uint32 MI_FLAG_TOSUBCLASS = 0x400;
inline constexpr MI_Uint32 MI_FLAG_TRANSLATABLE = 0x800;
inline constexpr MI_Uint32 MI_FLAG_KEY = 0x1000;
inline constexpr MI_Uint32 MI_FLAG_IN = 0x2000;
inline constexpr MI_Uint32 MI_FLAG_OUT = 0x4000;
inline constexpr MI_Uint32 MI_FLAG_REQUIRED = 0x8000;
inline constexpr MI_Uint32 MI_FLAG_STATIC = 0x10000;
inline constexpr MI_Uint32 MI_FLAG_ABSTRACT = 0x20000;
inline constexpr MI_Uint32 MI_FLAG_TERMINAL = 0x40000;
inline constexpr MI_Uint32 MI_FLAG_EXPENSIVE = 0x80000;
inline constexpr MI_Uint32 MI_FLAG_STREAM = 0x100000;
inline constexpr MI_Uint32 MI_FLAG_READONLY = 0x200000;
inline constexpr MI_Uint32 MI_FLAG_TOINSTANCE = 0x400000;
inline constexpr MI_Uint32 MI_FLAG_NOT_MODIFIED = 0x2000000;
inline constexpr MI_Uint32 MI_FLAG_VERSION = 0x1C000000;
inline constexpr MI_Uint32 MI_FLAG_NULL = 0x20000000;
inline constexpr MI_Uint32 MI_FLAG_BORROW = 0x40000000;
inline constexpr MI_Uint32 MI_FLAG_ADOPT = 0x80000000u;

// Operation flags of the MI_Session_* operations.
inline constexpr MI_Uint32 MI_OPERATIONFLAGS_MANUAL_ACK_RESULTS = 0x0001;
inline constexpr MI_Uint32 MI_OPERATIONFLAGS_BASIC_RTTI = 0x0002;
inline constexpr MI_Uint32 MI_OPERATIONFLAGS_FULL_RTTI = 0x0004;
inline constexpr MI_Uint32 MI_OPERATIONFLAGS_LOCALIZED_QUALIFIERS = 0x0008;
inline constexpr MI_Uint32 MI_OPERATIONFLAGS_EXPENSIVE_PROPERTIES = 0x0040;
inline constexpr MI_Uint32 MI_OPERATIONFLAGS_POLYMORPHISM_SHALLOW = 0x0080;
inline constexpr MI_Uint32 MI_OPERATIONFLAGS_POLYMORPHISM_DEEP_BASE_PROPS_ONLY = 0x0180;
inline constexpr MI_Uint32 MI_OPERATIONFLAGS_REPORT_OPERATION_STARTED = 0x0200;
inline constexpr MI_Uint32 MI_OPERATIONFLAGS_NO_RTTI = 0x0400;
inline constexpr MI_Uint32 MI_OPERATIONFLAGS_STANDARD_RTTI = 0x0800;
inline constexpr MI_Uint32 MI_OPERATIONFLAGS_DEFAULT_RTTI = 0x0000;

inline constexpr MI_Uint32 MI_SERIALIZER_FLAGS_INSTANCE_WITH_CLASS = 1;

enum MI_CancellationReason : int {
    MI_REASON_NONE = 0,
    MI_REASON_TIMEOUT = 1,
    MI_REASON_SHUTDOWN = 2,
    MI_REASON_SERVICESTOP = 3,
};

enum MI_SubscriptionDeliveryType : int {
    MI_SubscriptionDeliveryType_Pull = 1,
    MI_SubscriptionDeliveryType_Push = 2,
};

enum MI_PromptType : int {
    MI_PROMPTTYPE_NORMAL = 0,
    MI_PROMPTTYPE_CRITICAL = 1,
};

enum MI_OperationCallback_ResponseType : int {
    MI_OperationCallback_ResponseType_No = 0,
    MI_OperationCallback_ResponseType_Yes = 1,
    MI_OperationCallback_ResponseType_NoToAll = 2,
    MI_OperationCallback_ResponseType_YesToAll = 3,
};

struct MI_Timestamp {
    MI_Uint32 year;
    MI_Uint32 month;
    MI_Uint32 day;
    MI_Uint32 hour;
    MI_Uint32 minute;
    MI_Uint32 second;
    MI_Uint32 microseconds;
    MI_Sint32 utc;
};

struct MI_Interval {
    MI_Uint32 days;
    MI_Uint32 hours;
    MI_Uint32 minutes;
    MI_Uint32 seconds;
    MI_Uint32 microseconds;
    MI_Uint32 __padding1;
    MI_Uint32 __padding2;
    MI_Uint32 __padding3;
};

// isTimestamp is the discriminator: non-zero selects u.timestamp, zero u.interval.
struct MI_Datetime {
    MI_Uint32 isTimestamp;
    union {
        MI_Timestamp timestamp;
        MI_Interval interval;
    } u;
};

struct MI_Instance;
struct MI_Class;
struct MI_ClassDecl;
struct MI_InstanceFT;
struct MI_ClassFT;

template <typename T>
struct MI_ArrayOf {
    T* data;
    MI_Uint32 size;
};

using MI_BooleanA = MI_ArrayOf<MI_Boolean>;
using MI_Uint8A = MI_ArrayOf<MI_Uint8>;
using MI_Sint8A = MI_ArrayOf<MI_Sint8>;
using MI_Uint16A = MI_ArrayOf<MI_Uint16>;
using MI_Sint16A = MI_ArrayOf<MI_Sint16>;
using MI_Uint32A = MI_ArrayOf<MI_Uint32>;
using MI_Sint32A = MI_ArrayOf<MI_Sint32>;
using MI_Uint64A = MI_ArrayOf<MI_Uint64>;
using MI_Sint64A = MI_ArrayOf<MI_Sint64>;
using MI_Real32A = MI_ArrayOf<MI_Real32>;
using MI_Real64A = MI_ArrayOf<MI_Real64>;
using MI_Char16A = MI_ArrayOf<MI_Char16>;
using MI_DatetimeA = MI_ArrayOf<MI_Datetime>;
using MI_StringA = MI_ArrayOf<MI_Char*>;
using MI_ReferenceA = MI_ArrayOf<MI_Instance*>;
using MI_InstanceA = MI_ArrayOf<MI_Instance*>;
using MI_Array = MI_ArrayOf<void>;

union MI_Value {
    MI_Boolean boolean;
    MI_Uint8 uint8;
    MI_Sint8 sint8;
    MI_Uint16 uint16;
    MI_Sint16 sint16;
    MI_Uint32 uint32;
    MI_Sint32 sint32;
    MI_Uint64 uint64;
    MI_Sint64 sint64;
    MI_Real32 real32;
    MI_Real64 real64;
    MI_Char16 char16;
    MI_Datetime datetime;
    MI_Char* string;
    MI_Instance* instance;
    MI_Instance* reference;
    MI_BooleanA booleana;
    MI_Uint8A uint8a;
    MI_Sint8A sint8a;
    MI_Uint16A uint16a;
    MI_Sint16A sint16a;
    MI_Uint32A uint32a;
    MI_Sint32A sint32a;
    MI_Uint64A uint64a;
    MI_Sint64A sint64a;
    MI_Real32A real32a;
    MI_Real64A real64a;
    MI_Char16A char16a;
    MI_DatetimeA datetimea;
    MI_StringA stringa;
    MI_ReferenceA referencea;
    MI_InstanceA instancea;
    MI_Array array;
};

struct MI_ApplicationFT;
struct MI_SessionFT;
struct MI_OperationFT;
struct MI_DestinationOptionsFT;
struct MI_OperationOptionsFT;
struct MI_HostedProviderFT;
struct MI_SubscriptionDeliveryOptionsFT;
struct MI_QualifierSetFT;
struct MI_ParameterSetFT;

// Handles are caller-allocated and filled by the client; only ft is meaningful to the caller.
template <typename FT>
struct MI_Handle {
    MI_Uint64 reserved1;
    std::ptrdiff_t reserved2;
    const FT* ft;
};

struct MI_Application : MI_Handle<MI_ApplicationFT> {};
struct MI_Session : MI_Handle<MI_SessionFT> {};
struct MI_Operation : MI_Handle<MI_OperationFT> {};
struct MI_DestinationOptions : MI_Handle<MI_DestinationOptionsFT> {};
struct MI_OperationOptions : MI_Handle<MI_OperationOptionsFT> {};
struct MI_HostedProvider : MI_Handle<MI_HostedProviderFT> {};
struct MI_SubscriptionDeliveryOptions : MI_Handle<MI_SubscriptionDeliveryOptionsFT> {};
struct MI_QualifierSet : MI_Handle<MI_QualifierSetFT> {};
struct MI_ParameterSet : MI_Handle<MI_ParameterSetFT> {};

// The serializer handles carry no table: theirs is reached through the exported client table.
struct MI_Serializer {
    MI_Uint64 reserved1;
    std::ptrdiff_t reserved2;
};

struct MI_Deserializer {
    MI_Uint64 reserved1;
    std::ptrdiff_t reserved2;
};

struct MI_Instance {
    const MI_InstanceFT* ft;
    const MI_ClassDecl* classDecl;
    const MI_Char* serverName;
    const MI_Char* nameSpace;
    std::ptrdiff_t reserved[4];
};

// Note the member order: namespaceName comes before serverName, unlike MI_Instance.
struct MI_Class {
    const MI_ClassFT* ft;
    const MI_ClassDecl* classDecl;
    const MI_Char* namespaceName;
    const MI_Char* serverName;
    std::ptrdiff_t reserved[4];
};

struct MI_Qualifier {
    const MI_Char* name;
    MI_Uint32 type;
    MI_Uint32 flavor;
    const void* value;
};

struct MI_QualifierDecl {
    const MI_Char* name;
    MI_Uint32 type;
    MI_Uint32 scope;
    MI_Uint32 flavor;
    MI_Uint32 subscript;
    const void* value;
};

struct MI_FeatureDecl {
    MI_Uint32 flags;
    MI_Uint32 code;
    const MI_Char* name;
    const MI_Qualifier* const* qualifiers;
    MI_Uint32 numQualifiers;
};

struct MI_PropertyDecl {
    MI_Uint32 flags;
    MI_Uint32 code;
    const MI_Char* name;
    const MI_Qualifier* const* qualifiers;
    MI_Uint32 numQualifiers;
    MI_Uint32 type;
    const MI_Char* className;
    MI_Uint32 subscript;
    MI_Uint32 offset;
    const MI_Char* origin;
    const MI_Char* propagator;
    const void* value;
};

struct MI_ParameterDecl {
    MI_Uint32 flags;
    MI_Uint32 code;
    const MI_Char* name;
    const MI_Qualifier* const* qualifiers;
    MI_Uint32 numQualifiers;
    MI_Uint32 type;
    const MI_Char* className;
    MI_Uint32 subscript;
    MI_Uint32 offset;
};

struct MI_ObjectDecl {
    MI_Uint32 flags;
    MI_Uint32 code;
    const MI_Char* name;
    const MI_Qualifier* const* qualifiers;
    MI_Uint32 numQualifiers;
    const MI_PropertyDecl* const* properties;
    MI_Uint32 numProperties;
    MI_Uint32 size;
};

struct MI_SchemaDecl;
struct MI_ProviderFT;
struct MI_Server;
struct MI_Module;
struct MI_Context;

// A provider's implementation of a method; clients only see it in class declarations.
using MI_MethodDecl_Invoke = void (*)(void* self, MI_Context* context, const MI_Char* nameSpace,
                                      const MI_Char* className, const MI_Char* methodName,
                                      const MI_Instance* instanceName,
                                      const MI_Instance* parameters);

struct MI_MethodDecl {
    MI_Uint32 flags;
    MI_Uint32 code;
    const MI_Char* name;
    const MI_Qualifier* const* qualifiers;
    MI_Uint32 numQualifiers;
    const MI_ParameterDecl* const* parameters;
    MI_Uint32 numParameters;
    MI_Uint32 size;
    MI_Uint32 returnType;
    const MI_Char* origin;
    const MI_Char* propagator;
    const MI_SchemaDecl* schema;
    MI_MethodDecl_Invoke function;
};

struct MI_ClassDecl {
    MI_Uint32 flags;
    MI_Uint32 code;
    const MI_Char* name;
    const MI_Qualifier* const* qualifiers;
    MI_Uint32 numQualifiers;
    const MI_PropertyDecl* const* properties;
    MI_Uint32 numProperties;
    MI_Uint32 size;
    const MI_Char* superClass;
    const MI_ClassDecl* superClassDecl;
    const MI_MethodDecl* const* methods;
    MI_Uint32 numMethods;
    const MI_SchemaDecl* schema;
    const MI_ProviderFT* providerFT;
    MI_Class* owningClass;
};

struct MI_SchemaDecl {
    const MI_QualifierDecl* const* qualifierDecls;
    MI_Uint32 numQualifierDecls;
    const MI_ClassDecl* const* classDecls;
    MI_Uint32 numClassDecls;
};

struct MI_UsernamePasswordCreds {
    const MI_Char* domain;
    const MI_Char* username;
    const MI_Char* password;
};

struct MI_UserCredentials {
    const MI_Char* authenticationType;
    union {
        MI_UsernamePasswordCreds usernamePassword;
        const MI_Char* certificateThumbprint;
    } credentials;
};

// Authentication types of MI_UserCredentials.
inline constexpr MI_Char MI_AUTH_TYPE_DEFAULT[] = L"Default";
inline constexpr MI_Char MI_AUTH_TYPE_NONE[] = L"None";
inline constexpr MI_Char MI_AUTH_TYPE_DIGEST[] = L"Digest";
inline constexpr MI_Char MI_AUTH_TYPE_NEGO_WITH_CREDS[] = L"NegoWithCreds";
inline constexpr MI_Char MI_AUTH_TYPE_NEGO_NO_CREDS[] = L"NegoNoCreds";
inline constexpr MI_Char MI_AUTH_TYPE_BASIC[] = L"Basic";
inline constexpr MI_Char MI_AUTH_TYPE_KERBEROS[] = L"Kerberos";
inline constexpr MI_Char MI_AUTH_TYPE_CLIENT_CERTS[] = L"ClientCerts";
inline constexpr MI_Char MI_AUTH_TYPE_NTLM[] = L"Ntlmdomain";
inline constexpr MI_Char MI_AUTH_TYPE_CREDSSP[] = L"CredSSP";
inline constexpr MI_Char MI_AUTH_TYPE_ISSUER_CERT[] = L"IssuerCert";

// The option name under which MI_DestinationOptions_AddDestinationCredentials stores its
// credentials.
inline constexpr MI_Char MI_DESTINATIONOPTIONS_DESTINATION_CREDENTIALS[] =
    L"__MI_DESTINATIONOPTIONS_DESTINATION_CREDENTIALS";

static_assert(sizeof(MI_Char) == 2 && sizeof(MI_Boolean) == 1);
static_assert(sizeof(MI_Result) == 4 && sizeof(MI_Type) == 4);
static_assert(sizeof(MI_Uint64) == 8 && alignof(MI_Uint64) == 8);
static_assert(sizeof(MI_Timestamp) == 32 && alignof(MI_Timestamp) == 4);
static_assert(sizeof(MI_Interval) == 32 && alignof(MI_Interval) == 4);
static_assert(sizeof(MI_Datetime) == 36 && alignof(MI_Datetime) == 4 && offsetof(MI_Datetime, u) == 4);
static_assert(sizeof(MI_Value) == 40 && alignof(MI_Value) == 8);
static_assert(sizeof(MI_StringA) == 16 && offsetof(MI_StringA, size) == 8);
static_assert(sizeof(MI_Application) == 24 && sizeof(MI_Session) == 24 && sizeof(MI_Operation) == 24);
static_assert(sizeof(MI_OperationOptions) == 24 && sizeof(MI_DestinationOptions) == 24);
static_assert(offsetof(MI_Application, ft) == 16 && offsetof(MI_Session, ft) == 16);
static_assert(offsetof(MI_Operation, ft) == 16 && offsetof(MI_OperationOptions, ft) == 16);
static_assert(offsetof(MI_QualifierSet, ft) == 16 && offsetof(MI_ParameterSet, ft) == 16);
static_assert(sizeof(MI_QualifierSet) == 24 && sizeof(MI_ParameterSet) == 24);
static_assert(sizeof(MI_Serializer) == 16 && sizeof(MI_Deserializer) == 16);
static_assert(sizeof(MI_Instance) == 64 && offsetof(MI_Instance, classDecl) == 8);
static_assert(offsetof(MI_Instance, nameSpace) == 24 && offsetof(MI_Instance, reserved) == 32);
static_assert(sizeof(MI_Class) == 64 && offsetof(MI_Class, namespaceName) == 16);
static_assert(offsetof(MI_Class, serverName) == 24);
static_assert(sizeof(MI_ClassDecl) == 104 && offsetof(MI_ClassDecl, name) == 8);
static_assert(offsetof(MI_ClassDecl, properties) == 32 && offsetof(MI_ClassDecl, numProperties) == 40);
static_assert(offsetof(MI_ClassDecl, owningClass) == 96);
static_assert(sizeof(MI_PropertyDecl) == 72 && offsetof(MI_PropertyDecl, type) == 28);
static_assert(offsetof(MI_PropertyDecl, value) == 64);
static_assert(sizeof(MI_ParameterDecl) == 48 && sizeof(MI_ObjectDecl) == 48);
static_assert(sizeof(MI_MethodDecl) == 88 && offsetof(MI_MethodDecl, function) == 80);
static_assert(sizeof(MI_FeatureDecl) == 32 && sizeof(MI_Qualifier) == 24);
static_assert(sizeof(MI_QualifierDecl) == 32 && sizeof(MI_SchemaDecl) == 32);
static_assert(sizeof(MI_UserCredentials) == 32 && offsetof(MI_UserCredentials, credentials) == 8);
static_assert(alignof(MI_UserCredentials) == 8 && sizeof(MI_UsernamePasswordCreds) == 24);
static_assert(offsetof(MI_UsernamePasswordCreds, username) == 8);
static_assert(offsetof(MI_UsernamePasswordCreds, password) == 16);
static_assert(MI_RESULT_INVALID_PARAMETER == 4 && MI_RESULT_NOT_FOUND == 6);
static_assert(MI_RESULT_SERVER_IS_SHUTTING_DOWN == 28);
static_assert(MI_STRING == 13 && MI_INSTANCE == 15 && MI_ARRAY == 16 && MI_STRINGA == 29);
static_assert(MI_FLAG_KEY == 0x1000 && MI_FLAG_NULL == 0x20000000 && MI_FLAG_BORROW == 0x40000000);
static_assert(MI_FLAG_ADOPT == 0x80000000u && MI_OPERATIONFLAGS_LOCALIZED_QUALIFIERS == 0x8);
