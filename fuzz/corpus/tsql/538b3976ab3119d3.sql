DELETE FROM t_SystemProfile WHERE FKey='BatchAuditSalePrice'
INSERT INTO t_SystemProfile (FCategory,FKey,FValue) VALUES ('IC','BatchAuditSalePrice','1')